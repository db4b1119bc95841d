// Reading and writing the view's settings in a section of the configuration store.
#include "controls/SystemListModel.h"
#include "controls/SystemListView.h"
#include "platform/RegIniFile.h"
#include "platform/Shell.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeView>

namespace {

// "w" + 2 upper-case hex digits of 16 * column type + column id.
std::string WidthName(int type, int id)
{
    // Only the digits are upper case: "w41", never "W41".
    return "w" + QStringLiteral("%1").arg(16 * type + id, 2, 16, QLatin1Char('0')).toUpper().toStdString();
}

// "s" + 1 hex digit of the column type.
std::string SortName(int type)
{
    return "s" + QString::number(type, 16).toUpper().toStdString();
}

} // namespace

void TSystemListView::ReadSettings(TCustomIniFile &store, const QString &sectionName)
{
    const std::string section = sectionName.toStdString();
    const int style = store.ReadInteger(section, "ViewStyle", viewStyle_);
    if (style >= 0 && style < 4)
        SetViewStyle(TViewStyle(style));
    for (int type = 0; type < kColumnTypeCount; ++type) {
        for (int id = 1; id <= kColumnIdCount; ++id)
            widths_[type][id - 1] = store.ReadInteger(section, WidthName(type, id), widths_[type][id - 1]);
        sortColumn_[type] = store.ReadInteger(section, SortName(type), sortColumn_[type]);
    }
    // The widths of the shown columns come from the table at once.
    const auto &shown = model_->Columns();
    if (columnType_ != ctUser)
        for (size_t i = 0; i < shown.size(); ++i)
            if (widths_[columnType_][shown[i].Id - 1] >= 0)
                report_->header()->resizeSection(int(i), widths_[columnType_][shown[i].Id - 1]);
    const int mode = store.ReadInteger(section, "DisplayMode", displayMode_);
    if (mode >= 0 && mode <= 2)
        SetDisplayMode(TDisplayMode(mode));
    reverseSort_ = store.ReadBool(section, "ReverseSort", reverseSort_);
    {
        std::lock_guard lock(lock_);
        showHidden_ = store.ReadBool(section, "ShowHiddenFiles", showHidden_); // without listing again
    }
    SetAutoArrange(store.ReadBool(section, "AutoArrange", autoArrange_));
    UpdateSortMarkers();

    // The last folder is kept only in the registry.
    auto *registry = dynamic_cast<TRegIniFile *>(&store);
    try {
        if (registry && registry->HasBinary(section, "LastPIDL")) {
            const std::vector<uint8_t> bytes = registry->ReadBinary(section, "LastPIDL");
            BrowseToPidl(bytes.empty() ? TItemIdList() : TItemIdList::FromBytes(bytes.data(), bytes.size()));
            return;
        }
    } catch (const std::exception &) {
        // A damaged value: fall back to the current folder.
    }
    try {
        QString start = QDir::currentPath();
        if (start.isEmpty() || !QFileInfo(start).isDir())
            start = QFileInfo(QCoreApplication::applicationFilePath()).absolutePath();
        if (!start.endsWith(QLatin1Char('/')))
            start += QLatin1Char('/');
        SetDirectory(start);
    } catch (const std::exception &) {
    }
}

void TSystemListView::WriteSettings(TCustomIniFile &store, const QString &sectionName)
{
    const std::string section = sectionName.toStdString();
    store.WriteInteger(section, "ViewStyle", viewStyle_);
    SaveColumnWidths();
    for (int type = 0; type < kColumnTypeCount; ++type) {
        for (int id = 1; id <= kColumnIdCount; ++id) {
            const int width = widths_[type][id - 1];
            if (width >= 0)
                store.WriteInteger(section, WidthName(type, id), width);
            else
                store.DeleteKey(section, WidthName(type, id));
        }
        if (sortColumn_[type] != 0)
            store.WriteInteger(section, SortName(type), sortColumn_[type]);
        else
            store.DeleteKey(section, SortName(type));
    }
    store.WriteInteger(section, "DisplayMode", displayMode_);
    store.WriteBool(section, "ReverseSort", reverseSort_);
    store.WriteBool(section, "ShowHiddenFiles", showHidden_);
    store.WriteBool(section, "AutoArrange", autoArrange_);
    if (auto *registry = dynamic_cast<TRegIniFile *>(&store)) {
        try {
            const QByteArray bytes = currentList_.isRoot() ? QByteArray() : currentList_.toBytes();
            registry->WriteBinary(section, "LastPIDL", std::vector<uint8_t>(bytes.begin(), bytes.end()));
        } catch (const std::exception &) {
            // Losing the last folder is no reason to lose the other settings.
        }
    }
}
