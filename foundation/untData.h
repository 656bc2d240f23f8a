#pragma once
#include "foundation/db/Connection.h"
#include "foundation/db/Query.h"
#include "foundation/db/StoredProc.h"

#include <QImage>
#include <QList>
#include <QObject>

// The tool-bar pictures: 60 images of 16 x 16 pixels, 32-bit colour, drawn by the program.
class TImageList {
public:
    TImageList();
    int Count() const { return int(m_images.size()); }
    QImage Image(int index) const { return m_images.value(index); }
    static constexpr int Size = 16;

private:
    QList<QImage> m_images;
};

// The data module: the one connection and the shared statement and procedure callers.
class TfrmData : public QObject {
    Q_OBJECT
public:
    explicit TfrmData(QObject *owner = nullptr);

    Connection rdConn;
    Query rdPublic;
    StoredProc rdProc;
    TImageList Image;

    void DataModuleCreate();
};

extern TfrmData *frmData;
