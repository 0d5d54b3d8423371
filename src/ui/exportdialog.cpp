#include "ui/exportdialog.h"

#include "ui/accessibility.h"
#include "ui/groupname.h"
#include "widgets/dialogframe.h"

#include "base/identity.h"
#include "core/taskcore.h"
#include "store/tasksnapshot.h"
#include "store/taskstorage.h"
#include "sync/calendartransfer.h"
#include "widgets/fancyscrollbar.h"
#include "widgets/focusiconcatalogue.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QPointer<ExportDialog> s_openDialog;

ExportDialog::Hooks& customHooks()
{
    static ExportDialog::Hooks hooks;
    return hooks;
}

QString defaultChooseFile(QWidget* parent)
{
    const auto* dialog = qobject_cast<const ExportDialog*>(parent);
    const bool calendar = dialog && dialog->format() == ExportDialog::Calendar;
    return QFileDialog::getSaveFileName(parent, ExportDialog::tr("Export to"), QDir::homePath(),
                                        calendar ? ExportDialog::tr("iCalendar files (*.ics)")
                                                 : ExportDialog::tr("Text files (*.txt)"));
}

void defaultShowError(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::critical(parent, title, text, QMessageBox::Ok);
}

void defaultOpenFile(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool isEnabledItem(const QListWidgetItem* item)
{
    return item->flags().testFlag(Qt::ItemIsEnabled);
}


} // namespace

ExportDialog::ExportDialog(QWidget* parent, const FocusGroup::Id& groupId)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)
    , m_groupId(groupId)
{
    setObjectName(QStringLiteral("exportDialog"));
    setSizeGripEnabled(true);
    setMinimumSize(400, 350);

    const DialogFrame frame = buildDialogFrame(this);
    QWidget* content = frame.content;
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(12, 12, 12, 12);
    contentLayout->setSpacing(8);

    m_caption = new QLabel(content);
    m_caption->setObjectName(QStringLiteral("captionLabel"));
    m_caption->setTextFormat(Qt::RichText);
    contentLayout->addWidget(m_caption);

    m_groupList = new QListWidget(content);
    m_groupList->setObjectName(QStringLiteral("groupList"));
    m_groupList->setIconSize(QSize(20, 20));
    // Long names end in an ellipsis: a horizontal scroll bar would cover the last row.
    m_groupList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_groupList->setTextElideMode(Qt::ElideRight);
    m_groupList->setVerticalScrollBar(new FancyScrollbar(Qt::Vertical, m_groupList));
    contentLayout->addWidget(m_groupList, 1);

    auto* formatRow = new QHBoxLayout;
    m_formatLabel = new QLabel(content);
    m_formatLabel->setObjectName(QStringLiteral("formatLabel"));
    m_formatCombo = new QComboBox(content);
    m_formatCombo->setObjectName(QStringLiteral("formatCombo"));
    m_formatCombo->addItem(QString(), int(Text));
    m_formatCombo->addItem(QString(), int(Calendar));
    m_formatLabel->setBuddy(m_formatCombo);
    formatRow->addWidget(m_formatLabel);
    formatRow->addWidget(m_formatCombo);
    formatRow->addStretch(1);
    contentLayout->addLayout(formatRow);

    QHBoxLayout* buttonRow = frame.buttons;
    m_selectAllButton = new QPushButton(this);
    m_selectAllButton->setObjectName(QStringLiteral("selectAllButton"));
    m_selectAllButton->setAutoDefault(false);
    m_selectNoneButton = new QPushButton(this);
    m_selectNoneButton->setObjectName(QStringLiteral("selectNoneButton"));
    m_selectNoneButton->setAutoDefault(false);
    m_exportButton = new QPushButton(this);
    m_exportButton->setObjectName(QStringLiteral("exportButton"));
    m_exportButton->setDefault(true);
    m_cancelButton = new QPushButton(this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setAutoDefault(false);
    buttonRow->addWidget(m_selectAllButton);
    buttonRow->addWidget(m_selectNoneButton);
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_exportButton);
    buttonRow->addWidget(m_cancelButton);

    connect(m_selectAllButton, &QPushButton::clicked, this, &ExportDialog::_onSelectAll);
    connect(m_selectNoneButton, &QPushButton::clicked, this, &ExportDialog::_onSelectNone);
    connect(m_exportButton, &QPushButton::clicked, this, &ExportDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &ExportDialog::reject);

    _fillList();
    _retranslate();
    connect(m_groupList, &QListWidget::itemChanged, this, &ExportDialog::_onItemChanged);
    _updateButtons();
}

ExportDialog::~ExportDialog()
{
    if (s_openDialog == this)
        s_openDialog = nullptr;
}

void ExportDialog::setHooks(const Hooks& hooks)
{
    customHooks() = hooks;
}

ExportDialog::Hooks ExportDialog::hooks()
{
    Hooks hooks = customHooks();
    if (!hooks.chooseFile)
        hooks.chooseFile = defaultChooseFile;
    if (!hooks.showError)
        hooks.showError = defaultShowError;
    if (!hooks.openFile)
        hooks.openFile = defaultOpenFile;
    return hooks;
}

ExportDialog* ExportDialog::openDialog()
{
    return s_openDialog.data();
}

void ExportDialog::_fillList()
{
    const auto storage = TaskCore::instance()->storage();
    const QList<FocusGroup::Id> stored = storage->groupIds();

    QList<FocusGroup::Id> ordered;
    ordered.reserve(stored.size());
    ordered << FocusGroup::inboxId();
    for (const FocusGroup::Id& id : stored) {
        if (FocusGroup::isUserGroup(id))
            ordered << id;
    }
    ordered << FocusGroup::completedId() << FocusGroup::trashId();

    m_groupList->clear();
    for (const FocusGroup::Id& id : std::as_const(ordered)) {
        const FocusGroup group = storage->group(id);
        auto* item = new QListWidgetItem(focusGroupIcon(id, group.iconKey(), group.isEmpty()), shownGroupName(group));
        item->setToolTip(shownGroupName(group));
        if (group.isEmpty()) {
            item->setCheckState(Qt::Unchecked);
            item->setFlags(Qt::NoItemFlags);
        } else if (m_groupId.isNull()) {
            item->setCheckState(Qt::Checked);
        } else {
            item->setCheckState(id == m_groupId ? Qt::Checked : Qt::Unchecked);
        }
        item->setData(GroupIdRole, id.toString());
        item->setData(Qt::UserRole + 1, id.toString());
        m_groupList->addItem(item);
        if (!group.isEmpty() && !m_groupId.isNull() && id == m_groupId)
            m_groupList->setCurrentItem(item);
    }
}

void ExportDialog::_updateButtons()
{
    bool anyChecked = false;
    bool anyUnchecked = false;
    for (int row = 0; row < m_groupList->count(); ++row) {
        const QListWidgetItem* item = m_groupList->item(row);
        if (!isEnabledItem(item))
            continue;
        if (item->checkState() == Qt::Checked)
            anyChecked = true;
        else
            anyUnchecked = true;
    }
    m_selectAllButton->setEnabled(anyUnchecked);
    m_selectNoneButton->setEnabled(anyChecked);
    m_exportButton->setEnabled(anyChecked);
}

void ExportDialog::_setAllChecked(bool checked)
{
    for (int row = 0; row < m_groupList->count(); ++row) {
        QListWidgetItem* item = m_groupList->item(row);
        if (isEnabledItem(item))
            item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
    _updateButtons();
}

void ExportDialog::_onSelectAll()
{
    _setAllChecked(true);
}

void ExportDialog::_onSelectNone()
{
    _setAllChecked(false);
}

void ExportDialog::_onItemChanged(QListWidgetItem* item)
{
    Q_UNUSED(item);
    _updateButtons();
}

QList<FocusGroup::Id> ExportDialog::_checkedGroupIds() const
{
    QList<FocusGroup::Id> ids;
    for (int row = 0; row < m_groupList->count(); ++row) {
        const QListWidgetItem* item = m_groupList->item(row);
        if (!isEnabledItem(item) || item->checkState() != Qt::Checked)
            continue;
        const FocusGroup::Id id(item->data(GroupIdRole).toString());
        if (!id.isNull())
            ids << id;
    }
    return ids;
}

QByteArray ExportDialog::_textBytes(const QList<FocusGroup::Id>& groupIds) const
{
    TaskSnapshot snapshot;
    snapshot.byId = true;
    TaskCore::instance()->storage()->snapshot(snapshot);

    QByteArray bytes;
    for (const FocusGroup::Id& groupId : groupIds) {
        const auto group = snapshot.groupsById.constFind(groupId);
        if (group == snapshot.groupsById.constEnd())
            continue;
        bytes += QStringLiteral("[%1]\r\n").arg(group->name()).toUtf8();
        for (const TodoTask::Id& taskId : group->taskIds()) {
            const auto task = snapshot.tasksById.constFind(taskId);
            if (task == snapshot.tasksById.constEnd())
                continue;
            const QString mark = task->completed() ? QStringLiteral("=") : QStringLiteral("-");
            // Line breaks inside names and notes end in CR LF like every other line of the file.
            QString text = task->displayText();
            // The notes editor also keeps line and paragraph separators (Shift+Return).
            text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            for (const QChar lineBreak : {QChar(u'\r'), QChar(u'\v'), QChar(u'\f'), QChar(0x85), QChar(0x2028), QChar(0x2029)})
                text.replace(lineBreak, QLatin1Char('\n'));
            text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
            bytes += QStringLiteral("%1 %2\r\n").arg(mark, text).toUtf8();
        }
        bytes += QByteArrayLiteral("\r\n");
    }
    return bytes;
}

bool ExportDialog::_writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        hooks().showError(this, productName(), tr("Failed to open file \"%1\" for writing.").arg(path));
        return false;
    }
    bool ok = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (ok)
        ok = file.error() == QFileDevice::NoError;

    if (!ok) {
        // Leave no half-written file behind; devices and links are never removed.
        const QFileInfo info(path);
        if (info.isFile() && !info.isSymLink())
            QFile::remove(path);
        hooks().showError(this, productName(), tr("Failed to write file \"%1\".").arg(path));
    }
    return ok;
}

ExportDialog::Format ExportDialog::format() const
{
    return Format(m_formatCombo->currentData().toInt());
}

void ExportDialog::setFormat(Format format)
{
    m_formatCombo->setCurrentIndex(m_formatCombo->findData(int(format)));
}

void ExportDialog::accept()
{
    const Hooks current = hooks();
    QString path = current.chooseFile(this);
    if (path.isEmpty())
        return;
    const bool calendar = format() == Calendar;
    // A new name typed without an extension gets the one of the format; an existing file the
    // user chose keeps its name.
    if (QFileInfo(path).suffix().isEmpty() && !QFileInfo::exists(path))
        path += calendar ? QStringLiteral(".ics") : QStringLiteral(".txt");
    const QList<FocusGroup::Id> groupIds = _checkedGroupIds();
    const QByteArray bytes = calendar ? sync::CalendarTransfer::exportGroups(*TaskCore::instance()->storage(), groupIds)
                                      : _textBytes(groupIds);
    if (!_writeFile(path, bytes))
        return;
    // A calendar file opened with the desktop's default program would be imported there at
    // once: it is left for the user to take where it belongs.
    if (!calendar)
        current.openFile(path);
    QDialog::accept();
}

void ExportDialog::_dispose()
{
    deleteLater();
    if (s_openDialog == this)
        s_openDialog = nullptr;
}

void ExportDialog::closeEvent(QCloseEvent* event)
{
    event->accept();
    _dispose();
}

void ExportDialog::hideEvent(QHideEvent* event)
{
    event->accept();
    // Minimised, the dialog is only out of sight; it goes when it is closed or hidden.
    if (event->spontaneous() || isMinimized())
        return;
    _dispose();
}

void ExportDialog::_retranslate()
{
    setWindowTitle(tr("Export"));
    m_caption->setText(tr("<strong>Select the groups you want to export</strong>"));
    nameByLabel(m_groupList, m_caption);
    m_selectAllButton->setText(tr("Select all"));
    m_selectNoneButton->setText(tr("Select none"));
    m_exportButton->setText(tr("Export"));
    m_cancelButton->setText(tr("Cancel"));
    m_formatLabel->setText(tr("&Format:"));
    m_formatCombo->setItemText(0, tr("Plain text (.txt)"));
    m_formatCombo->setItemText(1, tr("iCalendar (.ics)"));
    const auto storage = TaskCore::instance()->storage();
    for (int row = 0; storage && row < m_groupList->count(); ++row) {
        QListWidgetItem* item = m_groupList->item(row);
        const QString name = shownGroupName(storage->group(QUuid::fromString(item->data(GroupIdRole).toString())));
        item->setText(name);
        item->setToolTip(name);
    }
}

void ExportDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        _retranslate();
    QDialog::changeEvent(event);
}

ExportDialog* showExportDialog(QWidget* parent, const FocusGroup::Id& groupId)
{
    if (ExportDialog* open = ExportDialog::openDialog()) {
        open->raise();
        open->activateWindow();
        return open;
    }
    auto* dialog = new ExportDialog(parent, groupId);
    s_openDialog = dialog;
    // Modal to the main window only, so that the tray menu stays usable (Exit among others).
    dialog->setWindowModality(Qt::WindowModal);
    dialog->show();
    return dialog;
}
