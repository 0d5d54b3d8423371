#include "ui/accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QLabel>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace {

QString plainText(const QString& text)
{
    return Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}

/// A balloon of the tray icon: read as a notification, its title and message as its name.
class BalloonAccessible : public QAccessibleWidget
{
public:
    explicit BalloonAccessible(QWidget* balloon)
        : QAccessibleWidget(balloon, QAccessible::Notification)
    {
        // Its only button, a cross, closes it.
        const QList<QAbstractButton*> buttons = balloon->findChildren<QAbstractButton*>();
        for (QAbstractButton* button : buttons) {
            if (button->accessibleName().isEmpty() && button->text().isEmpty())
                button->setAccessibleName(QCoreApplication::translate("TrayIcon", "Close"));
        }
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name)
            return QAccessibleWidget::text(kind);
        QStringList parts;
        const QList<QLabel*> labels = widget()->findChildren<QLabel*>();
        for (const QLabel* label : labels) {
            const QString text = plainText(label->text()).simplified();
            if (!text.isEmpty())
                parts << text;
        }
        return parts.join(QStringLiteral(". "));
    }
};

QAccessibleInterface* programAccessible(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("MainWindow"))
        return new QAccessibleWidget(widget, QAccessible::Window);
    // The toolkit's own balloon of a tray icon on X11.
    if (className == QLatin1String("QBalloonTip"))
        return new BalloonAccessible(widget);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(programAccessible);
        return true;
    }();
    Q_UNUSED(installed)
}

void nameByLabel(QWidget* field, const QLabel* label)
{
    field->setAccessibleName(plainText(label->text()));
}
