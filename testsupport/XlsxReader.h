#pragma once

// Reads the first worksheet of an .xlsx file back for tests: the archive is
// unpacked with unzip (installed by scripts/install-deps.sh) and its XML read
// with Qt. Cells come back keyed by their reference ("A1", "AE3"), texts
// resolved from the shared strings, numbers as the text the file stores.

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

struct XlsxCell
{
    bool isNumber = false;
    QString text; // the string, or the number as stored
    double number() const { return text.toDouble(); }
};

struct XlsxSheet
{
    bool ok = false; // the archive and its sheet could be read
    QMap<QString, XlsxCell> cells;
    bool has(const QString &ref) const { return cells.contains(ref); }
    XlsxCell at(const QString &ref) const { return cells.value(ref); }
};

inline QByteArray xlsxMember(const QString &file, const QString &member, bool *ok)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), file, member});
    *ok = unzip.waitForFinished(30000) && unzip.exitStatus() == QProcess::NormalExit
        && unzip.exitCode() == 0;
    return unzip.readAllStandardOutput();
}

inline XlsxSheet readXlsx(const QString &file)
{
    XlsxSheet sheet;
    bool ok = false;
    QStringList shared;
    const QByteArray strings = xlsxMember(file, QStringLiteral("xl/sharedStrings.xml"), &ok);
    if (ok) {
        QXmlStreamReader xml(strings);
        QString current;
        bool inItem = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("si")) {
                inItem = true;
                current.clear();
            } else if (inItem && xml.isStartElement() && xml.name() == QLatin1String("t")) {
                current += xml.readElementText();
            } else if (xml.isEndElement() && xml.name() == QLatin1String("si")) {
                shared << current;
                inItem = false;
            }
        }
    }
    const QByteArray data = xlsxMember(file, QStringLiteral("xl/worksheets/sheet1.xml"), &ok);
    if (!ok)
        return sheet;
    QXmlStreamReader xml(data);
    QString ref;
    QString type;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("c")) {
            ref = xml.attributes().value(QLatin1String("r")).toString();
            type = xml.attributes().value(QLatin1String("t")).toString();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("v")) {
            const QString value = xml.readElementText();
            XlsxCell cell;
            if (type == QLatin1String("s")) {
                const int index = value.toInt();
                cell.text = index >= 0 && index < shared.size() ? shared[index] : QString();
            } else {
                cell.isNumber = true;
                cell.text = value;
            }
            sheet.cells.insert(ref, cell);
        }
    }
    sheet.ok = !xml.hasError();
    return sheet;
}
