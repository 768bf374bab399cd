#pragma once

// Writing to and reading from an in-memory archive.

#include "platform/CArchive.h"

#include <QBuffer>
#include <QByteArray>

template<typename F>
QByteArray storeBytes(F &&write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CArchive ar(&buffer, CArchive::store);
    write(ar);
    ar.Close();
    return bytes;
}

template<typename F>
void loadBytes(const QByteArray &bytes, F &&read)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    read(ar);
}
