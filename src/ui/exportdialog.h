#pragma once

#include "store/focusgroup.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

/// Lets the user tick groups and writes them with their tasks to a plain text file, which then
/// opens with the desktop's default application, or to an iCalendar file (.ics) for other task
/// and calendar programs. At most one is open at a time.
class ExportDialog : public QDialog
{
    Q_OBJECT
public:
    /// The steps that talk to the user or the desktop; tests replace them.
    struct Hooks
    {
        /// Asks for the file to write; an empty result means the user cancelled.
        std::function<QString(QWidget* parent)> chooseFile;
        /// Shows a critical message with one OK button.
        std::function<void(QWidget* parent, const QString& title, const QString& text)> showError;
        /// Opens the written file with the desktop's default application.
        std::function<void(const QString& path)> openFile;
    };

    enum Format { Text, Calendar };

    /// The data role holding a group id's text form on each list item. The id is also kept
    /// under `Qt::UserRole + 1`, for readers that look there.
    static constexpr int GroupIdRole = 33;

    /// Lists every group of the store; `groupId`, when not null, is the only one checked.
    ExportDialog(QWidget* parent, const FocusGroup::Id& groupId);
    ~ExportDialog() override;

    /// Replaces the hooks for the whole process; empty members fall back to the defaults.
    static void setHooks(const Hooks& hooks);
    /// The hooks in force, defaults filled in.
    static Hooks hooks();
    /// The open export dialog, if any.
    static ExportDialog* openDialog();

    Format format() const;
    void setFormat(Format format);

    /// Writes the checked groups to a file the user picks (the "Export" button).
    void accept() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private Q_SLOTS:
    void _onSelectAll();
    void _onSelectNone();
    void _onItemChanged(QListWidgetItem* item);

private:
    void _fillList();
    void _updateButtons();
    void _setAllChecked(bool checked);
    void _retranslate();
    void _dispose();
    QList<FocusGroup::Id> _checkedGroupIds() const;
    bool _writeFile(const QString& path, const QByteArray& bytes);
    QByteArray _textBytes(const QList<FocusGroup::Id>& groupIds) const;

    QLabel* m_caption = nullptr;
    QListWidget* m_groupList = nullptr;
    QLabel* m_formatLabel = nullptr;
    QComboBox* m_formatCombo = nullptr;
    QPushButton* m_selectAllButton = nullptr;
    QPushButton* m_selectNoneButton = nullptr;
    QPushButton* m_exportButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    FocusGroup::Id m_groupId;
};

/// Shows the export dialog, `groupId` preselected when not null. When one is open already it
/// is only brought to the front. Returns at once (modal, but not run in its own loop).
ExportDialog* showExportDialog(QWidget* parent, const FocusGroup::Id& groupId = FocusGroup::Id());
