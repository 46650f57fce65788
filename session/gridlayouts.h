#pragma once

#include <QString>

#include <functional>

namespace db {
class DataSet;
}

// What a list window needs of the workstation's session to keep its grid's layout: the
// workstation's layouts and its name, read when a layout is saved or reset.
struct GridLayouts
{
    db::DataSet &griglie;
    std::function<QString()> computerName;
};
