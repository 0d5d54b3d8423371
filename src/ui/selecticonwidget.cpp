#include "ui/selecticonwidget.h"

#include <QCoreApplication>
#include <QEvent>

#include "widgets/colorscheme.h"
#include "widgets/fancyscrollbar.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>

namespace {

const int kIconSide = 48;
const int kCellWidth = 84;
const int kPadding = 5;
const int kTextGap = 4;

// Paints an icon item as a rounded card: the icon centred at the top, its name elided under it.
// The icon keeps its own colours when selected; the card's fill and frame show the state.
class IconItemDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        // Wider than usual for a long name (another language, a large font), so none is cut.
        const int textWidth = option.fontMetrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) + 8;
        return QSize(qMax(kCellWidth, textWidth), kPadding + kIconSide + kTextGap + option.fontMetrics.height() + kPadding);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);

        const QRectF card = QRectF(option.rect).adjusted(0.5, 0.5, -0.5, -0.5);
        const bool selected = option.state & QStyle::State_Selected;
        const bool hovered = option.state & QStyle::State_MouseOver;
        const bool focused = option.state & QStyle::State_HasFocus;
        if (selected) {
            painter->setBrush(schemeColor(ColorScheme::Panel));
            painter->setPen(QPen(schemeColor(ColorScheme::Accent), 1));
        } else if (hovered) {
            painter->setBrush(schemeColor(ColorScheme::EditBase));
            painter->setPen(QPen(schemeColor(ColorScheme::Outline), 1));
        } else if (focused) {
            painter->setBrush(Qt::NoBrush);
            painter->setPen(QPen(schemeColor(ColorScheme::Outline), 1, Qt::DashLine));
        } else {
            painter->setBrush(Qt::NoBrush);
            painter->setPen(Qt::NoPen);
        }
        painter->drawRoundedRect(card, 5, 5);

        const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        const QRect iconRect(option.rect.left() + (option.rect.width() - kIconSide) / 2, option.rect.top() + kPadding,
                             kIconSide, kIconSide);
        const bool enabled = option.state & QStyle::State_Enabled;
        icon.paint(painter, iconRect, Qt::AlignCenter, enabled ? QIcon::Normal : QIcon::Disabled);

        const QRect textRect(option.rect.left() + 3, iconRect.bottom() + 1 + kTextGap, option.rect.width() - 6,
                             option.fontMetrics.height());
        const QString text = option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight,
                                                           textRect.width());
        painter->setFont(option.font);
        painter->setPen(enabled ? schemeColor(ColorScheme::Text) : option.palette.color(QPalette::Disabled, QPalette::Text));
        painter->drawText(textRect, Qt::AlignHCenter | Qt::AlignVCenter, text);

        painter->restore();
    }
};

} // namespace

SelectIconWidget::SelectIconWidget(QWidget* parent)
    : QListWidget(parent)
    , m_catalogue(focusIconCatalogue())
{
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setDragEnabled(false);
    setIconSize(QSize(kIconSide, kIconSide));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // All the icons at once, in rows: a single row showed three of them behind a scroll bar.
    setWrapping(true);
    setFlow(QListView::LeftToRight);
    setResizeMode(QListView::Adjust);
    setSpacing(4);
    setForegroundRole(QPalette::HighlightedText);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameShape(QFrame::NoFrame);
    setMouseTracking(true);
    setItemDelegate(new IconItemDelegate(this));
    setHorizontalScrollBar(new FancyScrollbar(Qt::Horizontal, this));
    setVerticalScrollBar(new FancyScrollbar(Qt::Vertical, this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    const QStringList order = {
        QStringLiteral("star"),        QStringLiteral("star_blue"), QStringLiteral("star_green"),
        QStringLiteral("star_red"),    QStringLiteral("star_yellow"), QStringLiteral("inbox"),
        QStringLiteral("completed"),   QStringLiteral("completed2"), QStringLiteral("trash_empty"),
        QStringLiteral("home"),        QStringLiteral("internet"),  QStringLiteral("someday"),
        QStringLiteral("party"),       QStringLiteral("mobile"),    QStringLiteral("money"),
    };
    for (const QString& key : order) {
        auto it = m_catalogue.constFind(key);
        if (it == m_catalogue.constEnd())
            continue;
        new QListWidgetItem(it->icon, QString(), this);
        m_keys.append(key);
    }
    _retranslate();

    connect(this, &QListWidget::itemClicked, this, &SelectIconWidget::_onItemActivated);
    connect(this, &QListWidget::itemDoubleClicked, this, &SelectIconWidget::_onItemDoubleClicked);
}

void SelectIconWidget::_retranslate()
{
    for (int row = 0; row < m_keys.size(); ++row) {
        const QString name =
            QCoreApplication::translate("FocusIconCatalogue", m_catalogue.value(m_keys.at(row)).displayName.toUtf8());
        item(row)->setText(name);
        item(row)->setToolTip(name);
    }
    // One cell size for every icon, from the longest name in this language.
    QStyleOptionViewItem option;
    option.initFrom(this);
    QSize cell;
    for (int row = 0; row < count(); ++row)
        cell = cell.expandedTo(itemDelegate()->sizeHint(option, indexFromItem(item(row))));
    setGridSize(cell + QSize(2 * spacing(), 2 * spacing()));
    updateGeometry();
}

QSize SelectIconWidget::sizeHint() const
{
    const QSize cell = gridSize();
    const int rows = (count() + Columns - 1) / Columns;
    const int frame = 2 * frameWidth();
    const int margin = 2 * spacing() + 2;
    return QSize(Columns * cell.width() + frame + margin, rows * cell.height() + frame + margin);
}

QSize SelectIconWidget::minimumSizeHint() const
{
    return sizeHint();
}

void SelectIconWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        _retranslate();
    QListWidget::changeEvent(event);
}

QString SelectIconWidget::currentIcon() const
{
    const int row = currentRow();
    if (row < 0 || row >= m_keys.size())
        return QString();
    return m_keys.at(row);
}

void SelectIconWidget::setCurrentIcon(const QString& key)
{
    const QString wanted = key.isEmpty() ? QStringLiteral("star_green") : key;
    const int row = m_keys.indexOf(wanted);
    if (row < 0)
        return;
    setCurrentRow(row);
    scrollToItem(item(row));
}

QString SelectIconWidget::iconName(const QString& key) const
{
    return m_catalogue.value(key).displayName;
}

QString SelectIconWidget::keyOfItem(QListWidgetItem* item) const
{
    const int row = this->row(item);
    if (row < 0 || row >= m_keys.size())
        return QString();
    return m_keys.at(row);
}

void SelectIconWidget::_onItemActivated(QListWidgetItem* item)
{
    if (!item)
        return;
    Q_EMIT iconChanged(keyOfItem(item));
}

void SelectIconWidget::_onItemDoubleClicked(QListWidgetItem* item)
{
    if (!item)
        return;
    Q_EMIT iconDoubleClicked(keyOfItem(item));
}
