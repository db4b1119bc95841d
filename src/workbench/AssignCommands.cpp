#include "workbench/AssignCommands.h"

#include "audio/WavePlayer.h"
#include "common/MessageBoxes.h"
#include "controls/SystemListView.h"
#include "model/AssignmentSet.h"
#include "modbuild/BuildContext.h"
#include "modbuild/ExternalPrograms.h"
#include "platform/Exception.h"
#include "workbench/ComponentList.h"
#include "workbench/ComponentListModel.h"
#include "workbench/ErrForm.h"
#include "workbench/ImageViewerLink.h"
#include "workbench/ModwrightForm.h"

#include <QAbstractItemView>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QListView>
#include <QTreeView>
#include <array>

namespace {

// The four names a component's file may have, in the order they are tried.
std::array<QString, 4> CandidateNames(const TAssignmentData &row)
{
    const QString own = row.isImage ? QStringLiteral(".jpg") : QStringLiteral(".aif");
    const QString other = row.isImage ? QStringLiteral(".bmp") : QStringLiteral(".wav");
    const QString modName = row.modFileName();
    const int dot = modName.lastIndexOf(QLatin1Char('.'));
    const QString modBase = dot < 0 ? modName : modName.left(dot);
    return {modName, row.displayName() + own, modBase + other, row.displayName() + other};
}

void AddCouldNotAssign(TMessages &messages, const QString &what, const QString &reason = QString())
{
    messages.AddMessage("**Error: Could not assign " + what);
    if (!reason.isEmpty())
        messages.AddMessage("    " + reason);
    messages.AddMessage(QString());
}

// Checks and records one file for a row of a batch; false (and reported) when refused.
bool AssignInBatch(TModwrightForm &form, TAssignmentData &row, const QString &path)
{
    try {
        form.Set().AssignFile(row, path);
    } catch (const std::exception &error) {
        AddCouldNotAssign(form.ErrForm(), row.displayName(), QString::fromUtf8(error.what()));
        return false;
    }
    if (form.Settings.ShowInfos)
        form.ErrForm().AddMessage(
            QString("Info: Assigned %1 to %2.").arg(row.displayName(), QFileInfo(path).fileName()));
    return true;
}

void FinishBatch(TModwrightForm &form)
{
    form.UpdateCommands();
    if (form.ErrForm().HasMessages())
        form.ErrForm().ShowMessages();
}

bool HasExtension(const QString &path, std::initializer_list<const char *> extensions)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const char *extension : extensions)
        if (suffix == QLatin1String(extension))
            return true;
    return false;
}

// Plays a sample file when there is an output device. Image files are left to
// the image viewer.
void PlaySample(TModwrightForm &form, const QString &path)
{
    if (path.isEmpty() || !HasExtension(path, {"wav", "aif", "aiff"}))
        return;
    if (!WavePlayerAvailable())
        return;
    try {
        PlayWave(path);
    } catch (const std::exception &error) {
        ShowError(QString::fromUtf8(error.what()));
    }
}

void ComponentClick(TModwrightForm &form, int tab, const QModelIndex &index)
{
    TAssignmentData *row = form.List(tab)->RowOf(index);
    if (row)
        RevealImageViewer(form, tab, vtModClick);
    if (!row || !form.Settings.ModClickShow[tab] || ShowRowImage(form, tab, false, index.row()) ||
        !row->isAssigned() || row->isImage)
        return;
    PlaySample(form, row->assignedPath());
}

void ComponentDblClick(TModwrightForm &form, int tab, const QModelIndex &index)
{
    TAssignmentData *row = form.List(tab)->RowOf(index);
    if (row)
        RevealImageViewer(form, tab, vtModDblClick);
    if (row && form.Settings.ModDblShow[tab] && !ShowRowImage(form, tab, false, index.row()) &&
        row->isAssigned() && !row->isImage)
        PlaySample(form, row->assignedPath());
    if (!row || !row->isAssigned())
        return;
    if (form.Settings.ModDblBrowse[tab]) {
        const QString folder = QFileInfo(row->assignedPath()).absolutePath();
        if (QFileInfo(folder).isDir())
            form.Browser(tab)->SetDirectory(folder);
    }
    if (form.Settings.ModRunEditor[tab]) {
        try {
            RunEditor(form.Settings, tab, row->assignedPath());
        } catch (const std::exception &error) {
            ShowError(QString::fromUtf8(error.what()));
        }
    }
}

void BrowserClick(TModwrightForm &form, int tab, const QModelIndex &index)
{
    TSystemListView *browser = form.Browser(tab);
    if (!index.isValid() || !browser->ItemIsFile(index.row()))
        return;
    RevealImageViewer(form, tab, vtFileClick);
    if (!form.Settings.FileClickShow[tab] || ShowRowImage(form, tab, true, index.row()))
        return;
    PlaySample(form, browser->ItemPath(index.row()));
}

// The browser's default command (double click, Enter) on one selected file: the
// platform's default action runs only when FileRunDef is on and none of the
// viewer, show and editor settings takes the file.
void BrowserDefaultCommand(TModwrightForm &form, int tab, bool &doDefault)
{
    TSystemListView *browser = form.Browser(tab);
    const std::vector<int> rows = browser->SelectedRows();
    if (rows.size() != 1 || !browser->ItemIsFile(rows[0]))
        return; // folders are entered by the browser itself
    const TMainSettings &s = form.Settings;
    const QString path = browser->ItemPath(rows[0]);
    doDefault = s.FileRunDef[tab] && !(tab == 0 && s.FileDblShowImageViewer) && !s.FileDblShow[tab] &&
                !s.FileRunEditor[tab];
    RevealImageViewer(form, tab, vtFileDblClick);
    if (s.FileDblShow[tab] && !ShowRowImage(form, tab, true, rows[0]))
        PlaySample(form, path);
    if (s.FileRunEditor[tab]) {
        try {
            RunEditor(s, tab, path);
        } catch (const std::exception &error) {
            ShowError(QString::fromUtf8(error.what()));
        }
    }
}

} // namespace

QString FindFileFor(const TAssignmentData &row, const QString &folder)
{
    if (folder.isEmpty())
        return QString();
    const QDir dir(folder);
    // Names are compared without regard to case, as on the file systems the
    // mod files come from; an exact name wins over one that differs in case.
    QStringList entries;
    bool listed = false;
    for (const QString &name : CandidateNames(row)) {
        const QFileInfo exact(dir.absoluteFilePath(name));
        if (exact.isFile())
            return exact.filePath();
        if (!listed) {
            entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
            listed = true;
        }
        for (const QString &entry : entries)
            if (entry.compare(name, Qt::CaseInsensitive) == 0)
                return dir.absoluteFilePath(entry);
    }
    return QString();
}

QString MatchFileFor(const TAssignmentData &row, QStringList &files, bool takeOut)
{
    for (const QString &name : CandidateNames(row)) {
        for (qsizetype i = 0; i < files.size(); ++i) {
            if (QFileInfo(files[i]).fileName().compare(name, Qt::CaseInsensitive) == 0) {
                const QString hit = files[i];
                if (takeOut)
                    files.removeAt(i);
                return hit;
            }
        }
    }
    return QString();
}

void AssignOne(TModwrightForm &form, TAssignmentData &row, const QString &path)
{
    TMessages &messages = form.ErrForm();
    messages.ClearMessages();
    try {
        form.Set().AssignFile(row, path);
    } catch (const std::exception &error) {
        AddCouldNotAssign(messages, row.displayName(), QString::fromUtf8(error.what()));
    }
    FinishBatch(form);
}

void AssignSelected(TModwrightForm &form)
{
    const std::vector<TAssignmentData *> selected = form.ActiveList()->SelectedRows();
    if (selected.size() != 1)
        return;
    TAssignmentData *row = selected.front();
    const QString path = FindFileFor(*row, form.BrowserFolder(form.ActiveTab()).path);
    if (!path.isEmpty())
        AssignOne(form, *row, path);
}

void AutoAssignAll(TModwrightForm &form, const QString &folder)
{
    form.ErrForm().ClearMessages();
    {
        TBusyScope busy(form);
        TComponentList *list = form.ActiveList();
        for (int i = 0; i < list->Model().rowCount(); ++i) {
            TAssignmentData &row = *list->RowAt(i);
            const QString path = FindFileFor(row, folder);
            if (path.isEmpty())
                AddCouldNotAssign(form.ErrForm(), row.displayName());
            else
                AssignInBatch(form, row, path);
        }
    }
    FinishBatch(form);
}

void AssignFromList(TModwrightForm &form, QStringList files)
{
    form.ErrForm().ClearMessages();
    {
        TBusyScope busy(form);
        TComponentList *list = form.ActiveList();
        for (int i = 0; i < list->Model().rowCount() && !files.isEmpty(); ++i) {
            TAssignmentData &row = *list->RowAt(i);
            const QString path = MatchFileFor(row, files, true);
            if (!path.isEmpty())
                AssignInBatch(form, row, path);
        }
        for (const QString &left : files)
            AddCouldNotAssign(form.ErrForm(), left);
    }
    FinishBatch(form);
}

void ConnectAssignCommands(TModwrightForm &form)
{
    TModwrightForm *f = &form;
    QObject::connect(form.Assign1, &QAction::triggered, f, [f] { AssignSelected(*f); });
    QObject::connect(form.AutoAssign1, &QAction::triggered, f,
                     [f] { AutoAssignAll(*f, f->BrowserFolder(f->ActiveTab()).path); });
    for (int tab = 0; tab < 2; ++tab) {
        TComponentList *list = form.List(tab);
        // The list's own signals: the mouse, and Enter and Space on the focused row.
        QObject::connect(list, &TKivoListView::ItemClick, f,
                         [f, tab](const QModelIndex &index) { ComponentClick(*f, tab, index); });
        QObject::connect(list, &TKivoListView::ItemDblClick, f,
                         [f, tab](const QModelIndex &index) { ComponentDblClick(*f, tab, index); });
        TSystemListView *browser = form.Browser(tab);
        for (QAbstractItemView *view : {static_cast<QAbstractItemView *>(browser->ReportView()),
                                        static_cast<QAbstractItemView *>(browser->IconView())})
            QObject::connect(view, &QAbstractItemView::clicked, f,
                             [f, tab](const QModelIndex &index) { BrowserClick(*f, tab, index); });
        browser->OnDefaultCommand = [f, tab](TSystemListView *, bool &doDefault) {
            BrowserDefaultCommand(*f, tab, doDefault);
        };
    }
}
