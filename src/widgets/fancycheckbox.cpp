#include "widgets/fancycheckbox.h"

#include <QPixmapCache>

#include <QMouseEvent>
#include <QPainter>

FancyCheckbox::FancyCheckbox(QWidget* parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCheckable(true);
    setFixedSize(16, 16);
}

void FancyCheckbox::setPixmap(int key, const QPixmap& pixmap)
{
    m_pixmaps.insert(key, pixmap);
    update();
}

QPixmap FancyCheckbox::pixmap(int key) const
{
    return m_pixmaps.value(key);
}

int FancyCheckbox::currentKey() const
{
    return (isChecked() ? 2 : 0) + (m_pressed && m_underMouse ? 1 : 0);
}

void FancyCheckbox::setOpacity(double opacity)
{
    m_opacity = opacity;
    update();
}

QSize FancyCheckbox::sizeHint() const
{
    return QSize(16, 16);
}

void FancyCheckbox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setBackgroundMode(Qt::TransparentMode);
    m_underMouse = testAttribute(Qt::WA_UnderMouse);
    if (m_opacity != 1.0)
        painter.setOpacity(m_opacity);
    painter.drawPixmap(0, 0, m_pixmaps.value(currentKey()));
}

void FancyCheckbox::mousePressEvent(QMouseEvent* event)
{
    m_pressed = true;
    m_underMouse = rect().contains(event->position().toPoint());
    QAbstractButton::mousePressEvent(event);
}

void FancyCheckbox::mouseReleaseEvent(QMouseEvent* event)
{
    m_pressed = false;
    QAbstractButton::mouseReleaseEvent(event);
    update();
}

void FancyCheckbox::checkStateSet()
{
    QAbstractButton::checkStateSet();
    _reportState();
}

void FancyCheckbox::nextCheckState()
{
    QAbstractButton::nextCheckState();
    _reportState();
}

bool FancyCheckbox::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

void FancyCheckbox::_reportState()
{
    if (isChecked() == m_checkedState)
        return;
    m_checkedState = isChecked();
    Q_EMIT stateChanged(m_checkedState ? 1 : 0);
}

namespace {

// Every task row has two check boxes: their pictures are decoded once and shared (copies of a
// QPixmap share its data), without the file look-up a load by name makes each time.
QPixmap sharedPicture(const QString& path)
{
    QPixmap picture;
    if (!QPixmapCache::find(path, &picture)) {
        picture.load(path);
        QPixmapCache::insert(path, picture);
    }
    return picture;
}

const char* const taskPictures[] = {":/icons_checkbox/checkbox_flat-N", ":/icons_checkbox/checkbox_flat-P",
                                    ":/icons_checkbox/checkbox_done-N", ":/icons_checkbox/checkbox_done-P"};

} // namespace

TaskCheckbox::TaskCheckbox(QWidget* parent)
    : FancyCheckbox(parent)
{
    for (int state = 0; state < 4; ++state)
        setPixmap(state, sharedPicture(QLatin1String(taskPictures[state])));
}

void TaskCheckbox::preparePictures()
{
    for (const char* path : taskPictures)
        sharedPicture(QLatin1String(path));
}
