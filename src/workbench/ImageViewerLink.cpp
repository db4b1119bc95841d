#include "workbench/ImageViewerLink.h"

#include "controls/SystemListView.h"
#include "formats/Probes.h"
#include "model/AssignmentData.h"
#include "model/Catalogue.h"
#include "platform/RegIniFile.h"
#include "preview/ImgViewForm.h"
#include "workbench/ComponentList.h"
#include "workbench/ModwrightForm.h"

#include <QItemSelectionModel>
#include <QListView>
#include <QTreeView>
#include <memory>

namespace {

const QString ViewerSection = QStringLiteral("ImageViewer");

// A component list: an image row is an image when a file with an image
// extension is assigned; the preview's loaded picture comes along when there is one.
class TComponentImageList : public TImageItemList {
public:
    explicit TComponentImageList(TComponentList *list) : list_(list) {}
    int RowCount() const override { return list_->model()->rowCount(); }
    QModelIndex IndexOf(int row) const override { return list_->model()->index(row, 0); }
    bool ImageOf(int row, QString &path, QImage &picture) const override
    {
        const TAssignmentData *data = list_->RowAt(row);
        if (!data || !data->isImage || !data->isAssigned() || !IsImageFile(data->assignedPath()))
            return false;
        path = data->assignedPath();
        const QImage *loaded = ImageEntry(data->index).picture;
        picture = loaded ? *loaded : QImage();
        return true;
    }
    void SelectOnly(int row) override
    {
        const QModelIndex index = IndexOf(row);
        list_->selectionModel()->select(index,
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        list_->scrollTo(index);
    }

private:
    TComponentList *list_;
};

// A file browser: files with an image extension; folders are skipped.
class TBrowserImageList : public TImageItemList {
public:
    explicit TBrowserImageList(TSystemListView *view) : view_(view) {}
    int RowCount() const override { return view_->RowCount(); }
    QModelIndex IndexOf(int row) const override { return view_->ReportView()->model()->index(row, 0); }
    bool ImageOf(int row, QString &path, QImage &picture) const override
    {
        if (!view_->ItemIsFile(row))
            return false;
        const QString file = view_->ItemPath(row);
        if (file.isEmpty() || !IsImageFile(file))
            return false;
        path = file;
        picture = QImage();
        return true;
    }
    void SelectOnly(int row) override
    {
        view_->SelectRow(row);
        view_->ReportView()->scrollTo(IndexOf(row));
        view_->IconView()->scrollTo(IndexOf(row));
    }

private:
    TSystemListView *view_;
};

// Owns the four lists; a child of the main window, found by its name.
class TImageViewerLink : public QObject {
public:
    TImageViewerLink(TModwrightForm &form, TImgViewForm *viewer) : QObject(&form), viewer(viewer)
    {
        setObjectName("ImageViewerLink");
        for (int tab = 0; tab < 2; ++tab) {
            lists[tab][0] = std::make_unique<TComponentImageList>(form.List(tab));
            lists[tab][1] = std::make_unique<TBrowserImageList>(form.Browser(tab));
        }
    }
    TImgViewForm *viewer;
    std::unique_ptr<TImageItemList> lists[2][2];
};

TImageViewerLink *Link(const TModwrightForm &form)
{
    return form.findChild<TImageViewerLink *>("ImageViewerLink", Qt::FindDirectChildrenOnly);
}

void ShowViewer(TImgViewForm *viewer)
{
    viewer->show();
    viewer->raise();
}

} // namespace

void CreateImageViewer(TModwrightForm &form)
{
    if (Link(form))
        return;
    auto *viewer = new TImgViewForm(&form);
    viewer->setWindowTitle(QString(ProgramTitle) + " " + viewer->windowTitle());
    new TImageViewerLink(form, viewer);
    if (!form.Hooks.showImageViewer)
        form.Hooks.showImageViewer = [viewer] { ShowViewer(viewer); };
}

TImgViewForm *ImageViewer(const TModwrightForm &form)
{
    TImageViewerLink *link = Link(form);
    return link ? link->viewer : nullptr;
}

TImageItemList *ViewerList(const TModwrightForm &form, int tab, bool browser)
{
    TImageViewerLink *link = Link(form);
    return link && (tab == 0 || tab == 1) ? link->lists[tab][browser ? 1 : 0].get() : nullptr;
}

void LoadImageViewerSettings(TModwrightForm &form)
{
    if (TImgViewForm *viewer = ImageViewer(form))
        viewer->ReadSettings(form.Config(), ViewerSection);
}

void SaveImageViewerSettings(TModwrightForm &form)
{
    if (TImgViewForm *viewer = ImageViewer(form))
        viewer->WriteSettings(form.Config(), ViewerSection);
}

void RevealImageViewer(TModwrightForm &form, int tab, TViewerTrigger trigger)
{
    TImgViewForm *viewer = ImageViewer(form);
    if (tab != 0 || !viewer || viewer->isVisible())
        return;
    const TMainSettings &s = form.Settings;
    const bool wanted[] = {s.ModClickShowImageViewer, s.FileClickShowImageViewer, s.ModDblShowImageViewer,
                           s.FileDblShowImageViewer};
    if (wanted[trigger])
        ShowViewer(viewer);
}

bool ShowRowImage(TModwrightForm &form, int tab, bool browser, int row)
{
    TImgViewForm *viewer = ImageViewer(form);
    TImageItemList *list = ViewerList(form, tab, browser);
    if (!viewer || !list || row < 0 || row >= list->RowCount())
        return false;
    QString path;
    QImage picture;
    if (!list->ImageOf(row, path, picture))
        return false;
    viewer->ShowImage(TImageItem{list, list->IndexOf(row)}, path, picture);
    return true;
}
