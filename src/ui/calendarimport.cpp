#include "ui/calendarimport.h"

#include "base/identity.h"
#include "core/duetasks.h"
#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "sync/calendartransfer.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>

namespace {

// More problems than this are counted, not listed.
constexpr int ListedErrors = 20;

CalendarImport::Hooks& customHooks()
{
    static CalendarImport::Hooks hooks;
    return hooks;
}

QStringList defaultChooseFiles(QWidget* parent)
{
    return QFileDialog::getOpenFileNames(parent, CalendarImport::tr("Import iCalendar file"), QDir::homePath(),
                                         CalendarImport::tr("iCalendar files (*.ics)"));
}

void defaultReport(QWidget* parent, const QString& text, const QString& details, bool failed)
{
    auto* box = new QMessageBox(failed ? QMessageBox::Warning : QMessageBox::Information, productName(), text,
                                QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("importReport"));
    box->setDetailedText(details);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(parent ? Qt::WindowModal : Qt::NonModal);
    box->open();
}

bool isCalendarFile(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("ics"), Qt::CaseInsensitive) == 0;
}

} // namespace

void CalendarImport::setHooks(const Hooks& hooks)
{
    customHooks() = hooks;
}

bool CalendarImport::takesFiles(const FocusGroup::Id& group)
{
    return !group.isNull() && group != FocusGroup::trashId() && group != FocusGroup::completedId()
        && !DueTasks::isView(group);
}

QStringList CalendarImport::calendarFiles(const QMimeData* mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile() && isCalendarFile(url.toLocalFile()))
            paths << url.toLocalFile();
    }
    return paths;
}

void CalendarImport::chooseAndImport(QWidget* parent, const FocusGroup::Id& group)
{
    if (!takesFiles(group))
        return;
    const auto choose = customHooks().chooseFiles ? customHooks().chooseFiles : defaultChooseFiles;
    const QStringList paths = choose(parent);
    if (!paths.isEmpty())
        importFiles(parent, group, paths);
}

void CalendarImport::importFiles(QWidget* parent, const FocusGroup::Id& group, const QStringList& paths)
{
    const auto storage = TaskCore::instance()->storage();
    if (!storage || !takesFiles(group) || paths.isEmpty())
        return;
    sync::CalendarTransfer::ImportResult total;
    QStringList problems;
    int unreadableFiles = 0;
    for (const QString& path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            ++unreadableFiles;
            problems << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
            continue;
        }
        const sync::CalendarTransfer::ImportResult result =
            sync::CalendarTransfer::importInto(*storage, group, file.readAll());
        total.added += result.added;
        total.updated += result.updated;
        total.unchanged += result.unchanged;
        total.errors += result.errors;
        const QString name = QFileInfo(path).fileName();
        for (const QString& error : result.errors)
            problems << (paths.size() > 1 ? QStringLiteral("%1: %2").arg(name, error) : error);
    }

    // English needs its own singular, which the source language has no catalogue for.
    const int added = total.added;
    const int updated = total.updated;
    const int unchanged = total.unchanged;
    const int unreadable = int(total.errors.size());
    QStringList sentences;
    if (added > 0 || updated > 0) {
        QStringList clauses;
        if (added > 0)
            clauses << (added == 1 ? tr("%n task added", nullptr, added) : tr("%n tasks added", nullptr, added));
        if (updated > 0 && added > 0)
            clauses << tr("%n updated", nullptr, updated);
        else if (updated > 0)
            clauses << (updated == 1 ? tr("%n task updated", nullptr, updated) : tr("%n tasks updated", nullptr, updated));
        sentences << clauses.join(QStringLiteral(", ")) + QLatin1Char('.');
    }
    if (unchanged > 0 && added + updated > 0)
        sentences << (unchanged == 1 ? tr("%n was here already.", nullptr, unchanged)
                                     : tr("%n were here already.", nullptr, unchanged));
    else if (unchanged > 0)
        sentences << (unchanged == 1 ? tr("Nothing new: the task of the file is here already.")
                                     : tr("Nothing new: the %n tasks of the file are here already.", nullptr, unchanged));
    if (unreadableFiles > 0)
        sentences << (unreadableFiles == 1 ? tr("The file could not be read.")
                                           : tr("%n files could not be read.", nullptr, unreadableFiles));
    if (unreadable > 0 && added + updated + unchanged == 0)
        sentences << (paths.size() == 1 ? tr("No task of the file could be read.") : tr("No task of the files could be read."));
    else if (unreadable > 0)
        sentences << (unreadable == 1 ? tr("%n task could not be read and was left out.", nullptr, unreadable)
                                      : tr("%n tasks could not be read and were left out.", nullptr, unreadable));
    if (sentences.isEmpty())
        sentences << tr("The file holds no tasks.");
    if (problems.size() > ListedErrors) {
        const int more = int(problems.size()) - ListedErrors;
        problems = problems.mid(0, ListedErrors);
        problems << tr("… and %n more.", nullptr, more);
    }
    const bool failed = total.added + total.updated + total.unchanged == 0 && !problems.isEmpty();
    const auto report = customHooks().report ? customHooks().report : defaultReport;
    report(parent, sentences.join(QLatin1Char(' ')), problems.join(QLatin1Char('\n')), failed);
}
