#pragma once

#include <QImage>
#include <QModelIndex>
#include <QPersistentModelIndex>
#include <QString>

// A list the image viewer can step through: the main window's component lists
// and file browsers give it one each. Items are rows of the list's model; the
// viewer remembers the shown one as a persistent index, so that a re-sorted list
// still steps from the right place.
class TImageItemList {
public:
    virtual ~TImageItemList() = default;
    virtual int RowCount() const = 0;
    virtual QModelIndex IndexOf(int row) const = 0;
    // The image file of a row and, when one is loaded already, its picture. False
    // for rows that are no image (folders, sound files, unassigned components).
    virtual bool ImageOf(int row, QString &path, QImage &picture) const = 0;
    // Makes the row the only selected one.
    virtual void SelectOnly(int row) = 0;
};

// One item of such a list; an empty item (no list) is a valid "nothing".
struct TImageItem {
    TImageItemList *list = nullptr;
    QPersistentModelIndex index;
    bool isValid() const { return list && index.isValid(); }
};
