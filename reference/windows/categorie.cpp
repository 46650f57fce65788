#include "reference/windows/categorie.h"

#include "common/colours.h"
#include "reference/referencestore.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

QIcon swatch(qint64 value)
{
    QPixmap pixmap(28, 14);
    pixmap.fill(fromWindowsColour(value));
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

} // namespace

TfrmCategorie::TfrmCategorie(ReferenceStore &store)
    : LookupDetailWindow(store, reference::categorie(), &ReferenceStore::TableCategorie),
      m_store(store)
{
    setObjectName(QStringLiteral("frmCategorie"));
    fieldsLayout()->addWidget(new QLabel(QStringLiteral("Colore visualizzazione"), this));
    m_picker = new QComboBox(this);
    m_picker->setObjectName(QStringLiteral("ColorBox1"));
    m_picker->setMaxVisibleItems(16);
    for (const NamedColour &c : standardColours())
        m_picker->addItem(swatch(c.value), c.name, c.value);
    m_picker->setCurrentIndex(0);
    fieldsLayout()->addWidget(m_picker);
    connect(m_picker, &QComboBox::activated, this, [this] {
        if (dataSet().recordCount() > 0)
            setModified(true);
    });
}

qint64 TfrmCategorie::colour() const
{
    return m_picker->currentData().toLongLong();
}

void TfrmCategorie::setColour(qint64 value)
{
    const int index = standardColourIndex(value);
    m_picker->setCurrentIndex(index >= 0 ? index : standardColourIndex(kBianco));
}

void TfrmCategorie::showRow()
{
    m_shownId = dataSet().asInteger(u"Id");
    m_shownColour = dataSet().value(u"ColoreCategoria");
    setColour(reference::shownCategoryColour(m_shownColour));
}

db::Status TfrmCategorie::writeRow()
{
    return dataSet().setValue(u"ColoreCategoria", colour());
}

db::Status TfrmCategorie::afterSave()
{
    // A new category has no contacts yet; an unchanged colour has nothing to reach.
    const qint64 id = dataSet().asInteger(u"Id");
    if (m_shownId <= 0 || id <= 0 || reference::shownCategoryColour(m_shownColour) == colour())
        return {};
    m_shownColour = colour();
    if (db::Status followed = m_store.followCategoryColour(id, colour()); !followed)
        return followed;
    Q_EMIT contactColoursChanged();
    return {};
}

TfrmCategorieContatti_Griglia::TfrmCategorieContatti_Griglia(ReferenceStore &store,
                                                             TfrmCategorie &detail)
    : LookupListWindow(store, reference::categorie(), &ReferenceStore::TableCategorie, detail),
      m_store(store)
{
    setObjectName(QStringLiteral("frmCategorieContatti_Griglia"));
    setWindowState(Qt::WindowMaximized);
}

db::Status TfrmCategorieContatti_Griglia::beforeDelete()
{
    return m_store.clearCategoryColour(dataSet().asInteger(u"Id"));
}
