#pragma once

#include "db/datasets/dataset.h"

#include <QList>

// Lifts the filters of shared data sets for a while and puts them back afterwards. A window
// whose lists must offer every row (an editor choosing a town) uses it while it is open, so a
// search typed in another window over the same data set neither hides choices nor blanks the
// value already stored.
class FilterSuspension
{
public:
    explicit FilterSuspension(QList<db::DataSet *> dataSets) : m_dataSets(std::move(dataSets)) {}
    ~FilterSuspension() { resume(); }
    FilterSuspension(const FilterSuspension &) = delete;
    FilterSuspension &operator=(const FilterSuspension &) = delete;

    // Clears each filter, keeping it for resume(); a second call does nothing.
    void suspend();
    // Sets the kept filters again; nothing when they are not suspended.
    void resume();
    bool suspended() const { return m_suspended; }

private:
    QList<db::DataSet *> m_dataSets;
    QList<QString> m_kept;
    bool m_suspended = false;
};
