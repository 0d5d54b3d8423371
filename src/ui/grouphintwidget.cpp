#include "ui/grouphintwidget.h"

#include "store/focusgroup.h"
#include "widgets/colorscheme.h"
#include "widgets/linklabel.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPainter>

GroupHintWidget::GroupHintWidget(const QIcon& icon, const QString& html, QWidget* parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("groupHint"));
    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("hintIcon"));
    m_text = new LinkLabel(this);
    m_text->setObjectName(QStringLiteral("hintText"));
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::RichText);
    QFont font = m_text->font();
    font.setPixelSize(11);
    m_text->setFont(font);
    setSchemeColor(m_text, QPalette::WindowText, ColorScheme::HintCardText);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(25, 30, 25, 30);
    layout->setSpacing(15);
    layout->addWidget(m_icon, 0, Qt::AlignTop);
    layout->addWidget(m_text, 1, Qt::AlignTop);

    setIcon(icon);
    setHintText(html);
    followScheme(m_text, [this] { _showText(); });
    connect(m_text, &QLabel::linkActivated, this, &GroupHintWidget::headStart);
}

void GroupHintWidget::setIcon(const QIcon& icon)
{
    QPixmap faded(48, 48);
    faded.fill(Qt::transparent);
    {
        QPainter painter(&faded);
        painter.setOpacity(0.4);
        painter.drawPixmap(0, 0, icon.pixmap(QSize(48, 48), QIcon::Normal, QIcon::Off));
    }
    m_icon->setPixmap(faded);
}

void GroupHintWidget::setHintText(const QString& html)
{
    m_html = html;
    _showText();
}

void GroupHintWidget::_showText()
{
    // The link's colour is written in the (translated) text itself.
    QString html = m_html;
    html.replace(QLatin1String("#1b75bb"), schemeColor(ColorScheme::Link).name(), Qt::CaseInsensitive);
    if (m_text->text() != html)
        m_text->setText(html);
    // 300 x 180, grown downwards when a long text (or a large font) would not fit, so that no
    // line is ever cut off.
    const int needed = layout()->totalHeightForWidth(300);
    setFixedSize(300, qMax(180, needed));
}

QString GroupHintWidget::hintText(const QUuid& groupId)
{
    if (groupId == FocusGroup::inboxId())
        return QCoreApplication::translate(
            "GroupHintWidget",
            "<html><head><style>a { color: #1b75bb; text-decoration: none; } </style></head><body>This is Inbox, "
            "a default group to hold all new incoming tasks.<br>Looks like it's empty right now. Lets have some fun, "
            "<a href=inboxheadstart>click here</a> to fill it up with some predefined tasks.<br><br>Use \"Add group\" "
            "from the context menu on the group panel to add another group.</body></html>");
    if (groupId == FocusGroup::trashId())
        return QCoreApplication::translate(
            "GroupHintWidget",
            "Trash group holds all the tasks that you have ever deleted.<br>You can restore deleted tasks by dragging "
            "them back to one of the existing groups.<br><br>If you delete a task from Trash - it's gone...");
    if (groupId == FocusGroup::completedId())
        return QCoreApplication::translate("GroupHintWidget",
                                           "This group holds all the tasks that were completed by you and logged.");
    return QCoreApplication::translate("GroupHintWidget",
                                       "This is your custom group.<br><br>Add more groups to focus on similar tasks");
}

void GroupHintWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(schemeColor(ColorScheme::Panel));
    painter.setPen(QPen(schemeColor(ColorScheme::Outline), 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    // Half-pixel inset: a one-pixel antialiased outline then covers whole pixels and stays crisp.
    painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 5, 5);
}
