#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "analysis1d/engine/BackgroundArea.h"
#include "analysis1d/engine/Band.h"
#include "analysis1d/engine/ExampleBand.h"
#include "analysis1d/engine/UserDrawnBand.h"
#include "imaging/CDrawImage.h"
#include "imaging/RasterImageGS16.h"
#include "imaging/TVFImage.h"
#include "platform/ProfileStore.h"
#include "platform/Prompts.h"

#include <FreeImage.h>
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

// Grey gel of 160 x 120: background 20, three lanes (x 20..39, 70..89,
// 120..139), each with two bright bands at rows 35..44 and 70..79.
int stripeGel(int x, int y)
{
    const bool inLane = (x >= 20 && x < 40) || (x >= 70 && x < 90) || (x >= 120 && x < 140);
    const bool inBand = (y >= 35 && y < 45) || (y >= 70 && y < 80);
    return inLane && inBand ? 200 : 20;
}

FIBITMAP *makeBitmap(int width, int height, int bits)
{
    FIBITMAP *dib = bits == 16 ? FreeImage_AllocateT(FIT_UINT16, width, height, 16)
                               : FreeImage_Allocate(width, height, 8);
    if (bits == 8) {
        RGBQUAD *palette = FreeImage_GetPalette(dib);
        for (int i = 0; i < 256; ++i)
            palette[i] = RGBQUAD {BYTE(i), BYTE(i), BYTE(i), 0};
    }
    for (int y = 0; y < height; ++y) {
        BYTE *line = FreeImage_GetScanLine(dib, unsigned(height - 1 - y));
        for (int x = 0; x < width; ++x) {
            if (bits == 16)
                reinterpret_cast<uint16_t *>(line)[x] = uint16_t(stripeGel(x, y) * 250);
            else
                line[x] = BYTE(stripeGel(x, y));
        }
    }
    return dib;
}

const CRect kArea(5, 5, 155, 115);

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

int32_t int32At(const QByteArray &bytes, int offset)
{
    int32_t value = 0;
    std::memcpy(&value, bytes.constData() + offset, sizeof value);
    return value;
}

// Records the filter of every file dialog.
class FilterRecordingPrompts : public ScriptedPrompts
{
public:
    QString AskSaveFile(const QString &title, const QString &filter,
                        const QString &suggestedName) override
    {
        filters << filter;
        return ScriptedPrompts::AskSaveFile(title, filter, suggestedName);
    }
    QStringList filters;
};

class DocumentFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_previousStore = ProfileStore::install(std::make_unique<MemoryProfileStore>());
        ASSERT_TRUE(m_dir.isValid());
    }
    void TearDown() override { ProfileStore::install(std::move(m_previousStore)); }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    static void addImage(Analysis1DDoc &doc, int width, int height, int bits = 8)
    {
        auto *drawImage = new CDrawImage;
        drawImage->Create(width, height, 8, nullptr);
        *drawImage->GetImage() = makeBitmap(width, height, bits);
        drawImage->SizeToImage();
        doc.Add(drawImage);
    }

    // Image, analysis area, example band and an analysis with detected lanes.
    static void buildAnalysedDocument(Analysis1DDoc &doc)
    {
        addImage(doc, 160, 120);
        doc.Add(new AnalysisArea(kArea, CRect(0, 0, 160, 120)));
        doc.Add(new ExampleBand(CRect(20, 35, 40, 45), kArea));
        Analysis1D *analysis = doc.CreateAnalysis();
        analysis->WhiteOnBlackSet(0);
        analysis->FinalizeAnalysisArea();
        analysis->FinalizeExampleBand();
        analysis->DetectLanesAndBands(0.2);
        analysis->CalculateAnalysisData();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<ProfileStore> m_previousStore;
};

TEST_F(DocumentFileTest, HeaderOfImageOnlyAndAnalysedDocuments)
{
    ScopedScriptedPrompts prompts;
    Analysis1DDoc imageOnly;
    addImage(imageOnly, 40, 30);
    ASSERT_TRUE(imageOnly.OnSaveDocument(path("image.dsr")));
    const QByteArray plain = readAll(path("image.dsr"));
    ASSERT_GT(plain.size(), 20);
    EXPECT_EQ(plain.left(4), QByteArray("\x21\x0B\x02\x00", 4));
    EXPECT_EQ(plain[4], 0);
    EXPECT_EQ(plain[5], 0);
    EXPECT_EQ(int32At(plain, 8), 0);
    EXPECT_EQ(int32At(plain, 12), 0);
    // One trailing embedded-item count, not a second object list.
    EXPECT_EQ(int32At(plain, int(plain.size()) - 4), 0);
    EXPECT_EQ(imageOnly.GetSaveAsRequired(), 0);

    Analysis1DDoc analysed;
    buildAnalysedDocument(analysed);
    ASSERT_TRUE(analysed.OnSaveDocument(path("analysed.dsr")));
    const QByteArray full = readAll(path("analysed.dsr"));
    EXPECT_EQ(full[4], 1);
    EXPECT_EQ(full[5], 1);
    EXPECT_EQ(int32At(full, 8), 30000);
    EXPECT_TRUE(prompts->Texts().isEmpty());
}

TEST_F(DocumentFileTest, AnalysedDocumentRoundTripsToIdenticalBytes)
{
    ScopedScriptedPrompts prompts;
    Analysis1DDoc doc;
    buildAnalysedDocument(doc);
    ASSERT_GE(doc.GetAnalysis()->GetNumberOfLanes(), 3);
    ASSERT_TRUE(doc.OnSaveDocument(path("first.dsr")));

    Analysis1DDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(path("first.dsr")));
    EXPECT_EQ(reopened.GetSaveAsRequired(), 1);
    EXPECT_FALSE(reopened.IsModified());
    ASSERT_NE(reopened.GetAnalysis(), nullptr);
    Analysis1D *analysis = reopened.GetAnalysis();
    EXPECT_EQ(analysis->GetAnalysisDocument(), &reopened);
    EXPECT_EQ(analysis->GetNumberOfLanes(), doc.GetAnalysis()->GetNumberOfLanes());
    EXPECT_EQ(analysis->GetLane(0).GetNumberOfBands(),
              doc.GetAnalysis()->GetLane(0).GetNumberOfBands());
    ASSERT_NE(analysis->GetAnalysisRasterImage(), nullptr);
    EXPECT_EQ(analysis->GetAnalysisRasterImage()->getWidth(), kArea.Width());
    EXPECT_EQ(reopened.GetObjects().size(), doc.GetObjects().size());
    for (CDrawObject *obj : reopened.GetObjects())
        EXPECT_EQ(obj->GetDocument(), &reopened);

    ASSERT_TRUE(reopened.OnSaveDocument(path("second.dsr")));
    EXPECT_EQ(reopened.GetSaveAsRequired(), 0);
    // Written, read back and written again: the same bytes, picture included.
    EXPECT_EQ(readAll(path("first.dsr")), readAll(path("second.dsr")));
    EXPECT_TRUE(prompts->Texts().isEmpty());
}

TEST_F(DocumentFileTest, DamagedDocumentLeavesTheOpenDocumentUntouched)
{
    ScopedScriptedPrompts prompts;
    Analysis1DDoc source;
    buildAnalysedDocument(source);
    ASSERT_TRUE(source.OnSaveDocument(path("source.dsr")));
    const QByteArray bytes = readAll(path("source.dsr"));

    Analysis1DDoc doc;
    buildAnalysedDocument(doc);
    doc.SetPathName(path("mine.dsr"));
    doc.SetModifiedFlag(true);
    const CDrawObjList before = doc.GetObjects();
    Analysis1D *analysis = doc.GetAnalysis();
    const int lanes = analysis->GetNumberOfLanes();

    QList<int> cuts;
    for (int cut = 0; cut < bytes.size(); cut += std::max(1, int(bytes.size()) / 40))
        cuts << cut;
    for (int back = 1; back <= 8; ++back)
        cuts << int(bytes.size()) - back;
    for (int cut : cuts) {
        SCOPED_TRACE(cut);
        writeAll(path("cut.dsr"), bytes.left(cut));
        prompts->Clear();
        EXPECT_FALSE(doc.OnOpenDocument(path("cut.dsr")));
        ASSERT_EQ(prompts->Texts().size(), 1);
        EXPECT_EQ(doc.GetObjects(), before);
        EXPECT_EQ(doc.GetAnalysis(), analysis);
        EXPECT_EQ(analysis->GetNumberOfLanes(), lanes);
        EXPECT_EQ(doc.GetPathName(), path("mine.dsr"));
        EXPECT_TRUE(doc.IsModified());
    }
    // An unknown class name is refused the same way.
    QByteArray renamed = bytes;
    const int at = renamed.indexOf("CDrawImage");
    ASSERT_GT(at, 0);
    renamed[at] = 'X';
    writeAll(path("renamed.dsr"), renamed);
    prompts->Clear();
    EXPECT_FALSE(doc.OnOpenDocument(path("renamed.dsr")));
    EXPECT_EQ(prompts->Texts(), QStringList({QStringLiteral("Unexpected file format.")}));
    EXPECT_EQ(doc.GetObjects(), before);
}

TEST_F(DocumentFileTest, TemplateOpenedAsDocumentIsRefused)
{
    ScopedScriptedPrompts prompts;
    Analysis1DDoc source;
    buildAnalysedDocument(source);
    prompts->QueueFile(path("layout.ovl"));
    ASSERT_TRUE(source.OnFileSaveOverlayAs());
    const QByteArray bytes = readAll(path("layout.ovl"));
    ASSERT_GE(bytes.size(), 16);
    EXPECT_EQ(bytes.left(16), QByteArray("\x34\x0B\x01\x00\x01\x01\0\0\0\0\0\0\0\0\0\0", 16));
    // The image is not part of a template; the tone ends it.
    EXPECT_EQ(bytes.indexOf("CDrawImage"), -1);
    EXPECT_EQ(int32At(bytes, int(bytes.size()) - 4), 1);

    Analysis1DDoc doc;
    addImage(doc, 40, 30);
    CDrawObject *image = doc.GetObjects().first();
    prompts->Clear();
    EXPECT_FALSE(doc.OnOpenDocument(path("layout.ovl")));
    EXPECT_EQ(prompts->Texts(),
              QStringList(
                  {QStringLiteral("This file is an earlier version and is no longer supported")}));
    EXPECT_EQ(doc.GetObjects(), CDrawObjList({image}));
}

TEST_F(DocumentFileTest, TemplateOnImageCreatesAnalysisOrRemovesWhatItBrought)
{
    ScopedScriptedPrompts prompts;
    Analysis1DDoc source;
    buildAnalysedDocument(source);
    source.Add(new UserDrawnBand(CRect(70, 70, 90, 80), kArea));
    source.Add(new BackgroundArea(CRect(10, 10, 20, 20), kArea));
    prompts->QueueFile(path("layout.ovl"));
    ASSERT_TRUE(source.OnFileSaveOverlayAs());

    // Same size: an analysis is made on the new picture.
    Analysis1DDoc fits;
    addImage(fits, 160, 120);
    prompts->Clear();
    prompts->QueueFile(path("layout.ovl"));
    ASSERT_TRUE(fits.OnFileLoadOverlay());
    EXPECT_EQ(prompts->Texts(),
              QStringList({QStringLiteral(
                  "Press OK to create an analysis based on the template you have chosen!")}));
    ASSERT_NE(fits.GetAnalysis(), nullptr);
    EXPECT_EQ(fits.GetAnalysis()->GetWhiteOnBlack(), 1);
    ASSERT_NE(fits.GetAnalysis()->GetAnalysisRasterImage(), nullptr);
    EXPECT_NE(fits.GetAnalysis()->GetBGImage(), nullptr);
    EXPECT_EQ(fits.GetObjects().size(), source.GetObjects().size());

    // Smaller picture with a band of its own: no analysis, and the shapes the
    // template brought go again, the document's own band stays.
    Analysis1DDoc small;
    addImage(small, 100, 80);
    auto *ownBand = new UserDrawnBand(CRect(1, 1, 5, 5), CRect(0, 0, 100, 80));
    small.Add(ownBand);
    prompts->Clear();
    prompts->QueueFile(path("layout.ovl"));
    ASSERT_TRUE(small.OnFileLoadOverlay());
    EXPECT_EQ(prompts->Texts(),
              QStringList({QStringLiteral("Press OK to create an analysis based on the template "
                                          "you have chosen!"),
                           QStringLiteral("The template you selected contains analysis objects "
                                          "which are larger than your current image.  No "
                                          "analysis will be created!")}));
    EXPECT_EQ(small.GetAnalysis(), nullptr);
    EXPECT_EQ(small.GetAnalysisArea(), nullptr);
    EXPECT_EQ(small.GetExampleBand(), nullptr);
    EXPECT_EQ(small.GetAllUserDrawBands(), QList<UserDrawnBand *>({ownBand}));
    EXPECT_NE(small.GetBackgroundArea(), nullptr);

    // A document file is no template: nothing is added.
    ASSERT_TRUE(source.OnSaveDocument(path("doc.dsr")));
    const int count = int(small.GetObjects().size());
    prompts->Clear();
    prompts->QueueFile(path("doc.dsr"));
    EXPECT_FALSE(small.OnFileLoadOverlay());
    EXPECT_EQ(prompts->Texts(), QStringList({QStringLiteral("Unexpected file format.")}));
    EXPECT_EQ(small.GetObjects().size(), count);

    // A cut template adds nothing either.
    writeAll(path("cut.ovl"), readAll(path("layout.ovl")).chopped(6));
    prompts->QueueFile(path("cut.ovl"));
    EXPECT_FALSE(small.OnFileLoadOverlay());
    EXPECT_EQ(small.GetObjects().size(), count);

    Analysis1DDoc empty;
    addImage(empty, 40, 30);
    prompts->Clear();
    EXPECT_FALSE(empty.OnFileSaveOverlayAs());
    EXPECT_EQ(prompts->Texts(),
              QStringList({QStringLiteral("There aren't any overlay objects to save!")}));
}

TEST_F(DocumentFileTest, ImageFormatsAreForDocumentsHoldingOnlyTheirImage)
{
    ScopedScriptedPrompts prompts;
    Analysis1DDoc analysed;
    buildAnalysedDocument(analysed);
    EXPECT_FALSE(analysed.OnSaveDocument(path("analysed.tif")));
    EXPECT_EQ(prompts->Texts(),
              QStringList({QStringLiteral("Please chose DSR file format to save documents "
                                          "containing Overlay or analysis")}));
    EXPECT_FALSE(QFile::exists(path("analysed.tif")));

    Analysis1DDoc nothing;
    prompts->Clear();
    EXPECT_FALSE(nothing.OnSaveDocument(path("nothing.tif")));
    EXPECT_EQ(prompts->Texts(),
              QStringList({QStringLiteral(
                  "There are no images on the screen to %1! be saved in that file format")}));

    Analysis1DDoc imageOnly;
    addImage(imageOnly, 40, 30);
    prompts->Clear();
    ASSERT_TRUE(imageOnly.OnSaveDocument(path("image.tif")));
    EXPECT_EQ(TVFImage::GetFileType(path("image.tif")), int(FIF_TIFF));
    QFile written(path("image.tif"));
    EXPECT_EQ(CDensoraDoc::GetFileType(&written), int(FIF_TIFF));

    Analysis1DDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(path("image.tif")));
    ASSERT_NE(reopened.GetImage(), nullptr);
    EXPECT_EQ(reopened.GetImage()->getWidth(), 40u);
    EXPECT_EQ(reopened.GetImage()->getHeight(), 30u);
    EXPECT_EQ(reopened.GetSaveAsRequired(), 1);
    EXPECT_TRUE(prompts->Texts().isEmpty());
}

// A damaged picture is refused with the message every unreadable picture
// gets, one too large to hold with its size; either way the user sees one
// line, nothing reaches standard error and the open document stays.
TEST_F(DocumentFileTest, DamagedOrOversizedPictureIsRefusedWithOneMessage)
{
    ScopedScriptedPrompts prompts;
    Analysis1DDoc source;
    addImage(source, 40, 30);
    ASSERT_TRUE(source.OnSaveDocument(path("good.tif")));
    const QByteArray tiff = readAll(path("good.tif"));
    ASSERT_GT(tiff.size(), 200);

    QByteArray directoryPastTheEnd = tiff;
    directoryPastTheEnd[6] = char(0x7F); // first directory offset, bytes 4..7
    QByteArray gif("GIF89a");
    const char screen[] = {0x20, 0x4E, 0x6D, 0x34, 0, 0, 0}; // 20000 x 13421
    const char frame[] = {0x2C, 0, 0, 0, 0, 0x20, 0x4E, 0x6D, 0x34, 0};
    gif.append(screen, sizeof screen).append(frame, sizeof frame);
    gif.append("\x08\x02\x00\x01\x00\x3B", 6);
    const struct
    {
        const char *name;
        QByteArray bytes;
        QString message;
    } cases[] = {
        {"directory.tif", directoryPastTheEnd, QStringLiteral("Unexpected file format.")},
        {"cut.tif", tiff.left(tiff.size() - 40), QStringLiteral("Unexpected file format.")},
        {"huge.gif", gif,
         QStringLiteral("The picture is 20000 \u00d7 13421 pixels; it would need 1.5 GB of "
                        "memory, more than the 1 GB Densora allows.")},
    };

    Analysis1DDoc doc;
    addImage(doc, 40, 30);
    const CDrawObjList before = doc.GetObjects();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeAll(path(QString::fromLatin1(c.name)), c.bytes);
        prompts->Clear();
        testing::internal::CaptureStderr();
        EXPECT_FALSE(doc.OnOpenDocument(path(QString::fromLatin1(c.name))));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), std::string());
        EXPECT_EQ(prompts->Texts(), QStringList({c.message}));
        EXPECT_EQ(doc.GetObjects(), before);
    }
}

TEST_F(DocumentFileTest, SaveAsOffersTheFormatsTheDocumentAllows)
{
    auto owned = std::make_unique<FilterRecordingPrompts>();
    FilterRecordingPrompts *prompts = owned.get();
    std::unique_ptr<Prompts> previous = Prompts::install(std::move(owned));

    Analysis1DDoc analysed;
    buildAnalysedDocument(analysed);
    prompts->QueueFile(path("saved.dsr"));
    EXPECT_TRUE(analysed.OnFileSaveAs());
    EXPECT_EQ(prompts->filters.last(), QStringLiteral("Densora File (*.dsr)"));
    // Saved once as a document: Save writes to the same file without asking.
    QFile::remove(path("saved.dsr"));
    EXPECT_TRUE(analysed.OnFileSave());
    EXPECT_TRUE(QFile::exists(path("saved.dsr")));
    EXPECT_EQ(prompts->filters.size(), 1);

    // A 16-bit picture saved as PNG must be converted first; Cancel keeps it.
    Analysis1DDoc deep;
    addImage(deep, 40, 30, 16);
    prompts->QueueFile(path("deep.png"));
    prompts->QueueAnswer(IDCANCEL);
    EXPECT_FALSE(deep.OnFileSaveAs());
    const QStringList formats = prompts->filters.last().split(QStringLiteral(";;"));
    ASSERT_EQ(formats.size(), 8);
    EXPECT_EQ(formats.first(), QStringLiteral("TIFF File (*.tif)"));
    EXPECT_EQ(formats[5], QStringLiteral("PhotoShop File (*.psd)"));
    EXPECT_FALSE(QFile::exists(path("deep.png")));
    EXPECT_TRUE(deep.GetImage()->isHighResGrayscale());
    prompts->QueueFile(path("deep.png"));
    prompts->QueueAnswer(IDOK);
    EXPECT_TRUE(deep.OnFileSaveAs());
    EXPECT_FALSE(deep.GetImage()->isHighResGrayscale());
    EXPECT_TRUE(QFile::exists(path("deep.png")));
    // TIFF keeps 16 bits: no question.
    Analysis1DDoc deepTiff;
    addImage(deepTiff, 40, 30, 16);
    prompts->Clear();
    prompts->QueueFile(path("deep.tif"));
    EXPECT_TRUE(deepTiff.OnFileSaveAs());
    EXPECT_TRUE(prompts->Texts().isEmpty());
    EXPECT_TRUE(deepTiff.GetImage()->isHighResGrayscale());

    Prompts::install(std::move(previous));
}

} // namespace

namespace {

TEST_F(DocumentFileTest, ObjectAtFindsBandsThenLanesThenOverlayObjects)
{
    Analysis1DDoc doc;
    buildAnalysedDocument(doc);
    Analysis1D *analysis = doc.GetAnalysis();
    ASSERT_GE(analysis->GetNumberOfLanes(), 1);
    Lane &lane = analysis->GetLane(0);
    ASSERT_GE(lane.GetNumberOfBands(), 1);
    Band &band = lane.GetBand(0);
    EXPECT_EQ(doc.ObjectAt(band.GetLogicalPosition().CenterPoint()), &band);
    // Between the two bands of the lane.
    const CPoint between(lane.GetLogicalPosition().CenterPoint().x, 58);
    EXPECT_EQ(doc.ObjectAt(between), &lane);
    EXPECT_EQ(doc.ObjectAt(CPoint(1000, 1000)), nullptr);
}

} // namespace

namespace {

TEST_F(DocumentFileTest, AnalysisOfUnsupportedVersionIsRefusedWithItsReason)
{
    ScopedScriptedPrompts prompts;
    Analysis1DDoc source;
    buildAnalysedDocument(source);
    ASSERT_TRUE(source.OnSaveDocument(path("source.dsr")));
    const QByteArray bytes = readAll(path("source.dsr"));
    // The analysis base part (layout 1, version 4), then the tone and threshold.
    QByteArray base("\x01\x00\x04\x00\x00\x00\x01\x00\x00\x00", 10);
    const double threshold = 0.2;
    base.append(reinterpret_cast<const char *>(&threshold), sizeof threshold);
    const int at = int(bytes.indexOf(base));
    ASSERT_GT(at, 0);

    Analysis1DDoc doc;
    addImage(doc, 40, 30);
    const CDrawObjList before = doc.GetObjects();
    const struct
    {
        char version;
        const char *text;
    } cases[] = {
        {5, "This file was saved by a newer version of the program and cannot be opened"},
        {1, "This file is an earlier version and is no longer supported"},
    };
    for (const auto &c : cases) {
        QByteArray patched = bytes;
        patched[at + 2] = c.version;
        writeAll(path("patched.dsr"), patched);
        prompts->Clear();
        EXPECT_FALSE(doc.OnOpenDocument(path("patched.dsr")));
        EXPECT_EQ(prompts->Texts(), QStringList({QString::fromLatin1(c.text)}));
        EXPECT_EQ(doc.GetObjects(), before);
        EXPECT_EQ(doc.GetAnalysis(), nullptr);
    }
}

} // namespace

namespace {

// Lane arrays and band rows are used as rows and columns of the analysis image
// once the document is open (measuring, drawing); a file whose lanes do not
// fit the analysis is refused while it is read, with the reader's message, and
// leaves the open document as it was.
TEST_F(DocumentFileTest, LanesThatDoNotFitTheAnalysisAreRefusedWhenRead)
{
    ScopedScriptedPrompts prompts;
    const struct
    {
        const char *name;
        void (*damage)(Lane &lane);
    } cases[] = {
        {"profile a row short", [](Lane &l) { l.GetProfile()->vector().pop_back(); }},
        {"background a row long", [](Lane &l) { l.GetBackground()->Add(0); }},
        {"all three arrays empty",
         [](Lane &l) {
             l.GetProfile()->RemoveAll();
             l.GetBackground()->RemoveAll();
             l.GetCenterLine()->RemoveAll();
         }},
        {"centre line off the image", [](Lane &l) { l.GetCenterLine()->SetAt(3, 1 << 20); }},
        {"centre line negative", [](Lane &l) { l.GetCenterLine()->SetAt(0, -1); }},
        {"band above the first row", [](Lane &l) { l.GetBand(0).m_position.top = -4; }},
        {"band below the last row", [](Lane &l) { l.GetBand(0).m_position.bottom = 500; }},
        {"contour far below",
         [](Lane &l) { l.GetBand(0).getData()->m_bottomBoundary.Add(CPoint(30, 1 << 27)); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Analysis1DDoc source;
        buildAnalysedDocument(source);
        Lane &lane = source.GetAnalysis()->GetLane(0);
        ASSERT_GE(lane.GetNumberOfBands(), 1);
        c.damage(lane);
        ASSERT_TRUE(source.OnSaveDocument(path("damaged.dsr")));

        Analysis1DDoc doc;
        addImage(doc, 40, 30);
        const CDrawObjList before = doc.GetObjects();
        prompts->Clear();
        EXPECT_FALSE(doc.OnOpenDocument(path("damaged.dsr")));
        EXPECT_EQ(prompts->Texts(), QStringList({QStringLiteral("Unexpected file format.")}));
        EXPECT_EQ(doc.GetObjects(), before);
        EXPECT_EQ(doc.GetAnalysis(), nullptr);
    }
    // The same document undamaged opens and measures.
    Analysis1DDoc source;
    buildAnalysedDocument(source);
    ASSERT_TRUE(source.OnSaveDocument(path("sound.dsr")));
    Analysis1DDoc doc;
    prompts->Clear();
    ASSERT_TRUE(doc.OnOpenDocument(path("sound.dsr")));
    ASSERT_NE(doc.GetAnalysis(), nullptr);
    EXPECT_NO_THROW(doc.GetAnalysis()->CalculateAnalysisData());
    EXPECT_TRUE(prompts->Texts().isEmpty());
}

} // namespace
