// Writes the seed corpora of the fuzz targets with the program's own writers:
// a small synthetic gel analysed by densora-cli and saved, the document's
// overlay templates and clipboard copies, a ladder library, the gel picture
// in every format the program reads, and typical command lines.
//
//   MakeFuzzCorpus <corpus folder>     (one subfolder per target)

#include "analysis1d/calibration/MWLadderLibrary.h"
#include "analysis1d/calibration/StorableMWStandard.h"
#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "cli/CliCommand.h"
#include "contracts/overlay/CDrawObject.h"
#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"
#include "platform/CArchive.h"
#include "platform/ProfileStore.h"
#include "platform/Prompts.h"
#include "tools/gelsynth/GelDescription.h"
#include "tools/gelsynth/GelSynth.h"

#include <FreeImage.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Three lanes of dark bands, lane 1 a ladder; small, so the fuzzers run fast.
const char *kGel = R"(
size 96 72
bits 8
bands dark
background 200
noise 2
seed 5
lanes 3 20 28 10
lane 1 ladder
band 20 3 1500 100
band 36 3 1500 50
band 52 3 1500 25
lane 2
band 28 3 1800
band 48 3 1200
lane 3
band 40 3 1600
)";

[[noreturn]] void die(const QString &text)
{
    std::fprintf(stderr, "MakeFuzzCorpus: %s\n", qPrintable(text));
    std::exit(1);
}

class Corpus
{
public:
    explicit Corpus(const QString &root) : m_root(root) { }

    void put(const QString &target, const QString &name, const QByteArray &bytes)
    {
        const QDir dir(m_root + QLatin1Char('/') + target);
        if (!dir.mkpath(QStringLiteral(".")))
            die(QStringLiteral("cannot make %1").arg(dir.path()));
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(bytes) != bytes.size())
            die(QStringLiteral("cannot write %1").arg(file.fileName()));
    }
    void putFile(const QString &target, const QString &name, const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            die(QStringLiteral("cannot read %1").arg(path));
        put(target, name, file.readAll());
    }

private:
    QString m_root;
};

QByteArray objectListBytes(Analysis1DDoc &document, const CDrawObjList &objects)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CArchive ar(&buffer, CArchive::store);
    ar.m_pDocument = &document;
    CDrawDocument::StoreObjectList(ar, objects);
    ar.Close();
    return bytes;
}

void putLE16(QByteArray &bytes, int value)
{
    bytes.append(char(value & 0xFF));
    bytes.append(char((value >> 8) & 0xFF));
}

void putBE32(QByteArray &bytes, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(char((value >> shift) & 0xFF));
}

// FreeImage reads these two but does not write them: 8-bit grey, written by hand.
QByteArray pcxBytes(const GelSynth &gel)
{
    const int w = gel.width();
    const int h = gel.height();
    const int bytesPerLine = (w + 1) & ~1;
    QByteArray bytes;
    bytes.append(char(0x0A)).append(char(5)).append(char(1)).append(char(8));
    putLE16(bytes, 0);
    putLE16(bytes, 0);
    putLE16(bytes, w - 1);
    putLE16(bytes, h - 1);
    putLE16(bytes, 72);
    putLE16(bytes, 72);
    bytes.append(QByteArray(48, '\0'));
    bytes.append(char(0)).append(char(1));
    putLE16(bytes, bytesPerLine);
    putLE16(bytes, 2); // grey palette
    bytes.append(QByteArray(128 - bytes.size(), '\0'));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < bytesPerLine; ++x) {
            const int v = x < w ? gel.pixel(x, y) : 0;
            if (v >= 0xC0)
                bytes.append(char(0xC1)); // a run of one
            bytes.append(char(v));
        }
    }
    bytes.append(char(0x0C));
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i)).append(char(i)).append(char(i));
    return bytes;
}

QByteArray rasBytes(const GelSynth &gel)
{
    const int w = gel.width();
    const int h = gel.height();
    const int rowBytes = (w + 1) & ~1; // rows are padded to 16 bits
    QByteArray bytes;
    putBE32(bytes, 0x59A66A95);
    putBE32(bytes, uint32_t(w));
    putBE32(bytes, uint32_t(h));
    putBE32(bytes, 8);
    putBE32(bytes, uint32_t(rowBytes * h));
    putBE32(bytes, 1); // standard
    putBE32(bytes, 1); // RGB colour map
    putBE32(bytes, 768);
    for (int plane = 0; plane < 3; ++plane) {
        for (int i = 0; i < 256; ++i)
            bytes.append(char(i));
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < rowBytes; ++x)
            bytes.append(char(x < w ? gel.pixel(x, y) : 0));
    }
    return bytes;
}

void writePictures(Corpus &corpus, const GelSynth &gel, const QString &gelFile)
{
    QFile file(gelFile);
    if (!file.open(QIODevice::ReadOnly))
        die(QStringLiteral("cannot read %1").arg(gelFile));
    const QByteArray gelBytes = file.readAll();
    TVFImage grey;
    if (!grey.Load(reinterpret_cast<const unsigned char *>(gelBytes.constData()),
                   static_cast<unsigned long>(gelBytes.size())))
        die(QStringLiteral("cannot decode %1").arg(gelFile));
    TVFImage colour(grey);
    colour.convertTo24Bits();
    TVFImage wide(grey);
    wide.convertToType(FIT_UINT16);

    struct Encoded
    {
        const char *name;
        const TVFImage *image;
        FREE_IMAGE_FORMAT fif;
        int flags;
    };
    const Encoded encoded[] = {
        {"grey8.tif", &grey, FIF_TIFF, TIFF_DEFAULT},
        {"grey8-raw.tif", &grey, FIF_TIFF, TIFF_NONE},
        {"grey8-packbits.tif", &grey, FIF_TIFF, TIFF_PACKBITS},
        {"grey16.tif", &wide, FIF_TIFF, TIFF_DEFAULT},
        {"rgb.tif", &colour, FIF_TIFF, TIFF_DEFAULT},
        {"grey8.png", &grey, FIF_PNG, PNG_DEFAULT},
        {"grey16.png", &wide, FIF_PNG, PNG_DEFAULT},
        {"grey8.bmp", &grey, FIF_BMP, BMP_DEFAULT},
        {"grey8-rle.bmp", &grey, FIF_BMP, BMP_SAVE_RLE},
        {"rgb.bmp", &colour, FIF_BMP, BMP_DEFAULT},
        {"grey8.jpg", &grey, FIF_JPEG, JPEG_QUALITYNORMAL},
        {"grey8.gif", &grey, FIF_GIF, GIF_DEFAULT},
        {"grey8.tga", &grey, FIF_TARGA, TARGA_DEFAULT},
        {"grey8-rle.tga", &grey, FIF_TARGA, TARGA_SAVE_RLE},
        {"grey8.psd", &grey, FIF_PSD, PSD_DEFAULT},
        {"rgb.psd", &colour, FIF_PSD, PSD_DEFAULT},
    };
    for (const Encoded &e : encoded) {
        const QByteArray bytes = e.image->encode(e.fif, e.flags);
        if (bytes.isEmpty())
            die(QStringLiteral("FreeImage cannot write %1").arg(QLatin1String(e.name)));
        corpus.put(QStringLiteral("picture"), QLatin1String(e.name), bytes);
    }
    corpus.put(QStringLiteral("picture"), QStringLiteral("grey8.pcx"), pcxBytes(gel));
    corpus.put(QStringLiteral("picture"), QStringLiteral("grey8.ras"), rasBytes(gel));
}

void writeLadderLibraries(Corpus &corpus, const QString &scratch)
{
    const QString path = scratch + QStringLiteral("/MWLadders.dat");
    MWLadderLibrary library(path);
    library.Save();
    corpus.putFile(QStringLiteral("ladder-library"), QStringLiteral("empty.dat"), path);
    StorableMWStandard broad;
    broad.m_name = QStringLiteral("Broad range");
    broad.m_material = QStringLiteral("Protein");
    broad.m_units = QStringLiteral("kDa");
    for (double w : {250.0, 150.0, 100.0, 75.0, 50.0, 37.0, 25.0, 20.0, 15.0, 10.0})
        broad.m_values.Add(w);
    StorableMWStandard dna;
    dna.m_name = QStringLiteral("1 kb ladder \u00b5");
    dna.m_material = QStringLiteral("DNA");
    dna.m_units = QStringLiteral("bp");
    for (double w : {10000.0, 5000.0, 3000.0})
        dna.m_values.Add(w);
    library.Add(broad);
    library.Add(dna);
    library.Save();
    corpus.putFile(QStringLiteral("ladder-library"), QStringLiteral("two.dat"), path);
}

void writeCommandLines(Corpus &corpus)
{
    const char *lines[][16] = {
        {"analyze", "gel.tif", "--dark", "--area", "30,20,740,575", "--example-band",
         "140,171,70,18", "--wells", "40", "--dye-front", "585", "--slider", "100", nullptr},
        {"analyze", "gel.tif", "--area", "0,0,96,72", "--lane-width", "20", "--band-height", "6",
         "--ladder-lane", "1", "--ladder", "250,150,100", "--mw-curve", "cubic", nullptr},
        {"analyze", "gel.png", "--area", "1,2,3,4", "--example-band", "1,1,1,1", "--threshold",
         "0.01", "--json", "--report", "out.csv", "--profiles", "p.tsv", "--save", "a.dsr",
         nullptr},
        {"report", "a.dsr", "--json", nullptr},
        {"report", "a.dsr", "--report", "r.tsv", nullptr},
        {"--help", nullptr},
        {"--version", nullptr},
    };
    int n = 0;
    for (const auto &line : lines) {
        QByteArray bytes;
        for (int i = 0; line[i]; ++i) {
            if (i > 0)
                bytes.append('\0');
            bytes.append(line[i]);
        }
        corpus.put(QStringLiteral("cli-options"), QStringLiteral("args-%1").arg(++n), bytes);
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2)
        die(QStringLiteral("usage: MakeFuzzCorpus <corpus folder>"));
    FreeImage_Initialise();
    ProfileStore::install(std::make_unique<MemoryProfileStore>());
    auto installed = std::make_unique<ScriptedPrompts>();
    ScriptedPrompts *prompts = installed.get();
    Prompts::install(std::move(installed));
    Corpus corpus(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir scratch;
    const auto scratchFile = [&](const QString &name) { return scratch.filePath(name); };

    GelSynth gel(GelDescription::parse(QString::fromLatin1(kGel)));
    gel.render();
    QString error;
    if (!gel.writeImage(scratchFile(QStringLiteral("gel.tif")), &error))
        die(error);
    writePictures(corpus, gel, scratchFile(QStringLiteral("gel.tif")));
    writeLadderLibraries(corpus, scratch.path());
    writeCommandLines(corpus);

    // The analysed document, as the batch tool saves it.
    QByteArray out;
    QBuffer outBuffer(&out);
    QBuffer errBuffer;
    outBuffer.open(QIODevice::WriteOnly);
    errBuffer.open(QIODevice::WriteOnly);
    const QString analysed = scratchFile(QStringLiteral("analysed.dsr"));
    const int status = CliCommand::Run(
        {QStringLiteral("analyze"), scratchFile(QStringLiteral("gel.tif")), QStringLiteral("--dark"),
         QStringLiteral("--area"), QStringLiteral("4,4,88,64"), QStringLiteral("--example-band"),
         QStringLiteral("12,22,16,6"), QStringLiteral("--wells"), QStringLiteral("8"),
         QStringLiteral("--dye-front"), QStringLiteral("64"), QStringLiteral("--slider"),
         QStringLiteral("100"), QStringLiteral("--ladder-lane"),
         QStringLiteral("1"), QStringLiteral("--ladder"), QStringLiteral("100,50,25"),
         QStringLiteral("--save"), analysed},
        &outBuffer, &errBuffer);
    if (status != CliCommand::Success)
        die(QStringLiteral("the analysis failed: %1").arg(QString::fromUtf8(errBuffer.data())));
    corpus.putFile(QStringLiteral("dsr-document"), QStringLiteral("analysed.dsr"), analysed);

    Analysis1DDoc document;
    if (!document.OnOpenDocument(analysed) || !document.GetAnalysis())
        die(QStringLiteral("the analysed document does not open"));

    // Its overlay template, its objects as the clipboard holds them.
    const QString withAnalysis = scratchFile(QStringLiteral("analysis.ovl"));
    prompts->QueueFile(withAnalysis);
    if (!document.OnFileSaveOverlayAs())
        die(QStringLiteral("cannot save the template"));
    corpus.putFile(QStringLiteral("ovl-template"), QStringLiteral("analysis.ovl"), withAnalysis);
    CDrawObjList overlay;
    for (CDrawObject *object : document.GetObjects()) {
        if (!object->IsKindOf(RUNTIME_CLASS(CDrawImage)))
            overlay.append(object);
    }
    corpus.put(QStringLiteral("clipboard"), QStringLiteral("overlay.bin"),
               objectListBytes(document, overlay));
    corpus.put(QStringLiteral("clipboard"), QStringLiteral("one.bin"),
               objectListBytes(document, CDrawObjList {overlay.first()}));
    corpus.put(QStringLiteral("clipboard"), QStringLiteral("all.bin"),
               objectListBytes(document, document.GetObjects()));

    // The same shapes without the analysis: document and template.
    document.SetAnalysis(nullptr);
    const QString shapes = scratchFile(QStringLiteral("shapes.dsr"));
    if (!document.OnSaveDocument(shapes))
        die(QStringLiteral("cannot save the document without analysis"));
    corpus.putFile(QStringLiteral("dsr-document"), QStringLiteral("shapes.dsr"), shapes);
    const QString shapesTemplate = scratchFile(QStringLiteral("shapes.ovl"));
    prompts->QueueFile(shapesTemplate);
    if (!document.OnFileSaveOverlayAs())
        die(QStringLiteral("cannot save the template without analysis"));
    corpus.putFile(QStringLiteral("ovl-template"), QStringLiteral("shapes.ovl"), shapesTemplate);

    // The picture alone.
    Analysis1DDoc pictureOnly;
    QFile gelFile(scratchFile(QStringLiteral("gel.tif")));
    if (!gelFile.open(QIODevice::ReadOnly) || pictureOnly.CreateImageObject(&gelFile) <= 0)
        die(QStringLiteral("cannot load the gel"));
    const QString picture = scratchFile(QStringLiteral("picture.dsr"));
    if (!pictureOnly.OnSaveDocument(picture))
        die(QStringLiteral("cannot save the picture document"));
    corpus.putFile(QStringLiteral("dsr-document"), QStringLiteral("picture.dsr"), picture);

    FreeImage_DeInitialise();
    return 0;
}
