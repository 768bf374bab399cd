// The monkey test of the main window: random but valid user actions on the
// sample gel with its analysis open. Commands come from the command registry
// and tools from the view's tool list when the test runs, so whatever joins
// the window later joins the test without a change here. Every question and
// dialog is answered at random by seams that never wait for a person.
//
//   DENSORA_MONKEY_SEED     the seed (default below); a failure names it
//   DENSORA_MONKEY_ACTIONS  how many actions (default kDefaultActions)
//   DENSORA_MONKEY_CHECK    check after every so many actions (default
//                           kCheckEvery; 1 finds the action that broke one)
//   DENSORA_MONKEY_LOG      a file that gets every action, one a line, with
//                           the view's scroll position, size and zoom
//
// After every kCheckEvery actions the document must hold together: the
// picture is its first object, every band lies in a lane of the analysis, and
// undo then redo gives back the same objects, byte for byte.

#include "app/tests/AppTestEnvironment.h"

#include "app/DensoraAppCommandIds.h"

#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisSetup.h"
#include "analysis1d/engine/DetectionSlider.h"
#include "appbase/CDensoraView.h"
#include "appbase/DensoraCommandIds.h"
#include "appbase/ui/CDensoraPrinting.h"
#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawTool.h"
#include "imaging/CDrawImage.h"
#include "imaging/TVFImage.h"
#include "platform/CArchive.h"
#include "platform/Prompts.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

constexpr uint64_t kDefaultSeed = 20261209;
constexpr int kDefaultActions = 1000;
constexpr int kCheckEvery = 100;
constexpr int kSettleRounds = 4;
// Tool types are small numbers shared by the overlay, picture and analysis tools.
constexpr int kHighestToolType = 63;

uint64_t envNumber(const char *name, uint64_t fallback)
{
    const QByteArray value = qgetenv(name);
    bool ok = false;
    const qulonglong n = value.toULongLong(&ok);
    return ok ? uint64_t(n) : fallback;
}

// splitmix64: the same numbers from a seed on every machine and library.
class Random
{
public:
    explicit Random(uint64_t seed) : m_state(seed) { }
    uint64_t next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return n > 0 ? int(next() % uint64_t(n)) : 0; }
    bool chance(int percent) { return below(100) < percent; }

private:
    uint64_t m_state;
};

// What a crash report names: the seed, the step and the last actions, kept
// in plain memory a signal handler can write out.
struct Progress
{
    static constexpr int kKept = 12;
    uint64_t seed = 0;
    int step = -1;
    char actions[kKept][160] = {};
    int next = 0;
};
Progress g_progress;

void writeText(const char *text)
{
    size_t n = 0;
    while (text[n])
        ++n;
    [[maybe_unused]] const ssize_t written = ::write(2, text, n);
}

void writeProgress()
{
    if (g_progress.step < 0)
        return;
    char line[160];
    std::snprintf(line, sizeof line, "\nmonkey test stopped: DENSORA_MONKEY_SEED=%llu, step %d\n",
                  static_cast<unsigned long long>(g_progress.seed), g_progress.step);
    writeText(line);
    writeText("last actions:\n");
    for (int i = 0; i < Progress::kKept; ++i) {
        const char *action = g_progress.actions[(g_progress.next + i) % Progress::kKept];
        if (action[0]) {
            writeText("  ");
            writeText(action);
            writeText("\n");
        }
    }
}

void onFatalSignal(int signal)
{
    writeProgress();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::terminate_handler g_previousTerminate = nullptr;

void onTerminate()
{
    writeProgress();
    if (g_previousTerminate)
        g_previousTerminate();
    std::abort();
}

// Answers every question at random with one of the answers its box offers;
// file dialogs get one of the test's files (or nothing, as a cancel).
class MonkeyPrompts : public Prompts
{
public:
    MonkeyPrompts(Random &random, QStringList openable, QString saveFolder)
        : m_random(random), m_openable(std::move(openable)), m_saveFolder(std::move(saveFolder))
    { }

    int MessageBox(const QString &, unsigned type) override
    {
        ++m_messages;
        switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return m_random.chance(50) ? IDOK : IDCANCEL;
        case MB_ABORTRETRYIGNORE: {
            const int answers[] = {IDABORT, IDRETRY, IDIGNORE};
            return answers[m_random.below(3)];
        }
        case MB_YESNOCANCEL: {
            const int answers[] = {IDYES, IDNO, IDCANCEL};
            return answers[m_random.below(3)];
        }
        case MB_YESNO:
            return m_random.chance(50) ? IDYES : IDNO;
        case MB_RETRYCANCEL:
            // Retrying again and again would never end a failed save.
            return IDCANCEL;
        default:
            return IDOK;
        }
    }
    QString AskOpenFile(const QString &, const QString &filter, const QString &) override
    {
        QStringList fitting;
        for (const QString &path : m_openable) {
            const QString suffix = QFileInfo(path).suffix();
            if (filter.contains(QStringLiteral("*.") + suffix, Qt::CaseInsensitive)
                || filter.contains(QStringLiteral("*.*")))
                fitting << path;
        }
        if (fitting.isEmpty() || m_random.chance(40))
            return {};
        return fitting[m_random.below(int(fitting.size()))];
    }
    QString AskSaveFile(const QString &, const QString &filter, const QString &) override
    {
        if (m_random.chance(40))
            return {};
        static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
        QStringList suffixes;
        for (auto it = pattern.globalMatch(filter); it.hasNext();)
            suffixes << it.next().captured(1);
        const QString suffix = suffixes.isEmpty() ? QStringLiteral("dsr")
                                                  : suffixes[m_random.below(int(suffixes.size()))];
        return QDir(m_saveFolder)
            .filePath(QStringLiteral("saved-%1.%2").arg(++m_saves).arg(suffix));
    }

    int m_messages = 0;
    int m_saves = 0;

private:
    Random &m_random;
    QStringList m_openable;
    QString m_saveFolder;
};

// Closes whatever a command opens modally (dialogs, message boxes, pop-up
// menus) with a random choice, from inside the dialog's own event loop, so no
// command ever waits for a person.
class DialogAnswerer : public QObject
{
public:
    explicit DialogAnswerer(Random &random) : m_random(random)
    {
        m_timer.setInterval(2);
        connect(&m_timer, &QTimer::timeout, this, &DialogAnswerer::answer);
        m_timer.start();
    }

    int m_dialogs = 0;

private:
    void answer()
    {
        // An answer on its way is waited for: answering again before it lands
        // would draw from the random numbers as often as the clock allows.
        if (m_answering)
            return;
        if (QWidget *popup = QApplication::activePopupWidget()) {
            answerPopup(popup);
            return;
        }
        QWidget *modal = QApplication::activeModalWidget();
        // A progress dialog shows only when the work takes long, which depends
        // on the machine: answering it would make the run unrepeatable.
        if (qobject_cast<QProgressDialog *>(modal))
            return;
        if (!modal) {
            m_current = nullptr;
            return;
        }
        if (modal != m_current) {
            // A dialog shown again (or a new one where an old one was) is a
            // new question, whether or not this timer looked in between.
            m_current = modal;
            m_attempts = 0;
            ++m_dialogs;
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                connect(dialog, &QDialog::finished, this, &DialogAnswerer::forget,
                        Qt::UniqueConnection);
        }
        // A dialog that refuses to be accepted (its input incomplete) is
        // cancelled, and one that refuses both is closed.
        ++m_attempts;
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            const QList<QAbstractButton *> buttons = box->buttons();
            if (!buttons.isEmpty() && m_attempts < 5) {
                QAbstractButton *button = buttons[m_random.below(int(buttons.size()))];
                later(button, [button] { button->click(); });
                return;
            }
        }
        if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            if (auto *input = qobject_cast<QInputDialog *>(dialog))
                input->setTextValue(QStringLiteral("monkey %1").arg(m_random.below(100)));
            if (m_attempts == 1 && m_random.chance(50))
                dialog->accept();
            else if (m_attempts < 10)
                dialog->reject();
            else
                dialog->done(QDialog::Rejected);
            return;
        }
        modal->close();
    }

    void answerPopup(QWidget *popup)
    {
        auto *menu = qobject_cast<QMenu *>(popup);
        QList<QAction *> choices;
        if (menu) {
            for (QAction *action : menu->actions()) {
                if (action->isEnabled() && action->isVisible() && !action->isSeparator()
                    && !action->menu())
                    choices << action;
            }
        }
        if (choices.isEmpty() || m_random.chance(30)) {
            popup->close();
            return;
        }
        // As a person picks an entry: the menu's own way, so exec() returns it.
        // The key goes from the menu's own event loop, not from this timer's
        // slot: an entry that opens a dialog runs its loop inside the key
        // press, and this timer must stay free to answer that dialog.
        menu->setActiveAction(choices[m_random.below(int(choices.size()))]);
        later(menu, [menu] { QTest::keyClick(menu, Qt::Key_Return); });
    }

    // Runs the answer from the event loop of whatever is being answered.
    template <typename Answer> void later(QObject *target, Answer answer)
    {
        m_answering = true;
        QTimer::singleShot(0, this, [this, target = QPointer<QObject>(target), answer] {
            m_answering = false;
            if (target)
                answer();
        });
    }

    void forget() { m_current = nullptr; }

    Random &m_random;
    bool m_answering = false;
    QTimer m_timer;
    QPointer<QWidget> m_current;
    int m_attempts = 0;
};

// Puts the previous question service back however the test ends.
struct PromptsRestorer
{
    std::unique_ptr<Prompts> previous;
    ~PromptsRestorer()
    {
        if (previous)
            Prompts::install(std::move(previous));
    }
};

QByteArray objectBytes(const CDrawDocument &doc)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CArchive ar(&buffer, CArchive::store);
    CDrawDocument::StoreObjectList(ar, doc.GetObjects());
    ar.Close();
    return bytes;
}

class MonkeyTest : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(m_dir.isValid());
        m_seed = envNumber("DENSORA_MONKEY_SEED", kDefaultSeed);
        m_actions = int(envNumber("DENSORA_MONKEY_ACTIONS", kDefaultActions));
        m_checkEvery = std::max(1, int(envNumber("DENSORA_MONKEY_CHECK", kCheckEvery)));
        // A copy of the build's sample gel (beside the test program's folder):
        // the monkey saves over what it opened.
        m_sample = QDir(QCoreApplication::applicationDirPath())
                       .filePath(QStringLiteral("../samples/sample-gel.tif"));
        m_gel = m_dir.filePath(QStringLiteral("sample-gel.tif"));
        g_progress = Progress();
        g_progress.seed = m_seed;
        g_previousTerminate = std::set_terminate(onTerminate);
        for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
            std::signal(signal, onFatalSignal);
#if defined(__SANITIZE_ADDRESS__)
        __sanitizer_set_death_callback(writeProgress);
#endif
    }
    void TearDown() override
    {
        g_progress = Progress();
        for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
            std::signal(signal, SIG_DFL);
        std::set_terminate(g_previousTerminate);
        // The print seam goes back to the real dialogs for the other tests.
        CDensoraPrinting::Install();
        AppTest::TearDown();
    }

    // The sample gel with the analysis the batch tool makes of it (the
    // Makefile's sample analysis: dark bands, area, example band, wells, dye
    // front, slider 100).
    bool OpenSampleWithAnalysis()
    {
        Analysis1DDoc *doc = frame()->GetDocument();
        doc->SetModifiedFlag(false);
        // The gel as the build made it: an earlier save may have changed the copy.
        QFile::remove(m_gel);
        if (!QFile::copy(m_sample, m_gel) || !frame()->OpenDocumentFile(m_gel))
            return false;
        AnalysisSetup setup(*doc);
        setup.Begin();
        AnalysisSetup::Shapes shapes;
        shapes.objectsDarker = true;
        shapes.area = CRect(30, 20, 30 + 740, 20 + 575);
        shapes.exampleBand = CRect(140, 171, 140 + 70, 171 + 18);
        shapes.wellsRow = 40;
        shapes.dyeFrontRow = 585;
        if (!setup.Run(shapes))
            return false;
        setup.Detect(DetectionSlider::ThresholdFromSlider(100));
        doc->GetAnalysis()->CalculateAnalysisData();
        doc->SetModifiedFlag(false);
        frame()->GetView()->ZoomToView();
        return doc->GetAnalysis()->GetNumberOfLanes() > 0;
    }

    std::vector<int> Tools() const
    {
        std::vector<int> tools;
        for (int type = 0; type <= kHighestToolType; ++type) {
            if (frame()->GetView()->FindTool(type))
                tools.push_back(type);
        }
        return tools;
    }

    // Commands a person can give now. Exit is left out: it ends the session
    // the test is running in.
    std::vector<int> EnabledCommands() const
    {
        CommandRegistry &registry = frame()->GetRegistry();
        registry.updateAll();
        std::vector<int> ids;
        for (int id : registry.ids()) {
            if (id == AppCmd::AppExit)
                continue;
            if (QAction *action = registry.action(id); action && action->isEnabled())
                ids.push_back(id);
        }
        return ids;
    }

    QWidget *Viewport() const
    {
        auto *canvas = qobject_cast<QAbstractScrollArea *>(frame()->GetCentralView());
        return canvas ? canvas->viewport() : frame()->GetCentralView();
    }

    // A random picture point (now and then just off it) in the viewport's pixels.
    QPoint RandomPoint(Random &random) const
    {
        const TVFImage *image = frame()->GetDocument()->GetImage();
        const int width = image ? int(image->getWidth()) : 100;
        const int height = image ? int(image->getHeight()) : 100;
        CPoint p(random.below(width + 20) - 10, random.below(height + 20) - 10);
        frame()->GetView()->Logical2Screen(p, true);
        const QSize size = Viewport()->size();
        return QPoint(std::clamp(p.x, 0, std::max(0, size.width() - 1)),
                      std::clamp(p.y, 0, std::max(0, size.height() - 1)));
    }

    // The document knows its picture as its first object: a picture anywhere
    // else is one the document has lost.
    QString CheckPictureFirst() const
    {
        const Analysis1DDoc *doc = frame()->GetDocument();
        const CDrawObjList &objects = doc->GetObjects();
        const bool anyPicture = std::any_of(objects.begin(), objects.end(), [](CDrawObject *o) {
            return dynamic_cast<CDrawImage *>(o) != nullptr;
        });
        if (anyPicture && !doc->GetDrawImage())
            return QStringLiteral("the picture is not the document's first object");
        return {};
    }

    // A band belongs to the lane its centre of gravity lies in, as the
    // analysis finds a band's lane. The lane's column is its bounding
    // rectangle (between its neighbours, where it may be moved), or its own
    // rectangle while it has none.
    QString CheckBandsInLanes() const
    {
        Analysis1D *analysis = frame()->GetDocument()->GetAnalysis();
        if (!analysis)
            return {};
        for (int l = 0; l < analysis->GetNumberOfLanes(); ++l) {
            const Lane &lane = analysis->GetLane(l);
            const CRect column = lane.m_bound.IsRectEmpty() ? lane.m_position : lane.m_bound;
            for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
                const Band &band = lane.GetBands()->GetAt(b);
                if (!column.PtInRect(band.getData()->m_centerOfGravity))
                    return QStringLiteral("band %1 of lane %2 lies outside its lane (%3,%4 not in "
                                          "%5..%6, %7..%8)")
                        .arg(b + 1)
                        .arg(l + 1)
                        .arg(band.getData()->m_centerOfGravity.x)
                        .arg(band.getData()->m_centerOfGravity.y)
                        .arg(column.left)
                        .arg(column.right)
                        .arg(column.top)
                        .arg(column.bottom);
            }
        }
        return {};
    }

    // The document's invariants; empty when they hold.
    QString CheckInvariants()
    {
        Analysis1DDoc *doc = frame()->GetDocument();
        if (const QString broken = CheckPictureFirst(); !broken.isEmpty())
            return broken;
        if (const QString broken = CheckBandsInLanes(); !broken.isEmpty())
            return broken;
        // Through the commands, as a user would: while the set-up wizard runs
        // there is no undo.
        CommandRegistry &registry = frame()->GetRegistry();
        const QByteArray before = doc->CanUndo() ? objectBytes(*doc) : QByteArray();
        if (doc->CanUndo() && registry.run(DensoraCmd::EditUndo)) {
            if (!registry.run(DensoraCmd::EditRedo))
                return QStringLiteral("undo left nothing to redo");
            if (const QByteArray after = objectBytes(*doc); after != before) {
                if (const QByteArray dump = qgetenv("DENSORA_MONKEY_DUMP"); !dump.isEmpty()) {
                    QFile b(QString::fromLocal8Bit(dump) + ".before");
                    QFile a(QString::fromLocal8Bit(dump) + ".after");
                    if (b.open(QIODevice::WriteOnly) && a.open(QIODevice::WriteOnly)) {
                        b.write(before);
                        a.write(after);
                    }
                }
                return QStringLiteral("undo then redo did not give back the same objects");
            }
        }
        return {};
    }

    QTemporaryDir m_dir;
    uint64_t m_seed = kDefaultSeed;
    int m_actions = kDefaultActions;
    int m_checkEvery = kCheckEvery;
    QString m_sample;
    QString m_gel;
};

TEST_F(MonkeyTest, RandomUserActionsKeepTheDocumentWhole)
{
    ASSERT_TRUE(QFileInfo::exists(m_sample))
        << "the sample gel " << m_sample.toStdString() << " is made by the build (sample-gel)";
    Random random(m_seed);
    std::vector<QString> started;
    CDensoraApp::SetProcessStarter([&](const QString &, const QStringList &arguments) {
        started.push_back(arguments.value(0));
        return true;
    });
    CDensoraApp::SetUrlOpener([](const QUrl &) { return true; });

    frame()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame()));
    frame()->activateWindow();

    // Files the open dialogs may offer: the gel, an analysis and a template.
    const QString analysisFile = m_dir.filePath(QStringLiteral("sample.dsr"));
    const QString templateFile = m_dir.filePath(QStringLiteral("sample.ovl"));
    {
        ScopedScriptedPrompts setUpPrompts;
        ASSERT_TRUE(OpenSampleWithAnalysis());
        ASSERT_TRUE(frame()->GetDocument()->OnSaveDocument(analysisFile));
        setUpPrompts->QueueFile(templateFile);
        ASSERT_TRUE(frame()->GetDocument()->OnFileSaveOverlayAs());
    }
    auto prompts = std::make_unique<MonkeyPrompts>(
        random, QStringList {m_gel, analysisFile, templateFile}, m_dir.path());
    MonkeyPrompts *monkeyPrompts = prompts.get();
    PromptsRestorer restorer {Prompts::install(std::move(prompts))};
    // The answers draw from a stream of their own, so the actions stay the
    // same however often a dialog is looked at before it goes.
    Random answers(m_seed ^ 0xA5A5A5A5A5A5A5A5ull);
    DialogAnswerer answerer(answers);

    // Printing draws the page into a picture instead of opening the print dialogs.
    int printed = 0;
    CDensoraView::SetPrintHandler([&](CDensoraView *view, CDensoraView::PrintKind) {
        QImage page(850, 1100, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        view->PrintPage(&painter, CRect(0, 0, page.width(), page.height()));
        ++printed;
    });

    const std::vector<int> tools = Tools();
    ASSERT_FALSE(tools.empty());
    const Qt::Key keys[]
        = {Qt::Key_Escape, Qt::Key_Delete, Qt::Key_Left,  Qt::Key_Right, Qt::Key_Up, Qt::Key_Down,
           Qt::Key_Return, Qt::Key_Space,  Qt::Key_Z,     Qt::Key_Y,     Qt::Key_C,  Qt::Key_V,
           Qt::Key_A,      Qt::Key_Plus,   Qt::Key_Minus, Qt::Key_Tab};
    int commands = 0, mouse = 0, keyPresses = 0, undoRedo = 0, reopened = 0;

    QFile log(QString::fromLocal8Bit(qgetenv("DENSORA_MONKEY_LOG")));
    if (!log.fileName().isEmpty()) {
        ASSERT_TRUE(log.open(QIODevice::WriteOnly | QIODevice::Truncate)) << "DENSORA_MONKEY_LOG";
    }
    const auto note = [&](int step, const QString &what) {
        g_progress.step = step;
        const QByteArray text = QByteArray::number(step) + ": " + what.toUtf8();
        if (log.isOpen()) {
            // With the view the action met: where two runs part, this says why.
            const CPoint scroll = frame()->GetView()->GetScrollPosition();
            const QSize size = Viewport()->size();
            log.write(QStringLiteral("%1 (view at %2,%3, %4x%5, zoom %6)\n")
                          .arg(QString::fromUtf8(text))
                          .arg(scroll.x)
                          .arg(scroll.y)
                          .arg(size.width())
                          .arg(size.height())
                          .arg(double(frame()->GetView()->GetZoomFactor()))
                          .toUtf8());
        }
        std::snprintf(g_progress.actions[g_progress.next], sizeof g_progress.actions[0], "%s",
                      text.constData());
        g_progress.next = (g_progress.next + 1) % Progress::kKept;
    };
    const auto failure = [&](int step, const QString &what) {
        std::string last;
        for (int i = 0; i < Progress::kKept; ++i) {
            const char *action = g_progress.actions[(g_progress.next + i) % Progress::kKept];
            if (action[0])
                last += std::string("\n  ") + action;
        }
        return "DENSORA_MONKEY_SEED=" + std::to_string(m_seed) + ", step " + std::to_string(step)
            + ": " + what.toStdString() + "\nlast actions:" + last;
    };

    for (int step = 0; step < m_actions; ++step) {
        try {
            CDensoraView *view = frame()->GetView();
            const int kind = random.below(100);
            if (kind < 35) {
                const std::vector<int> ids = EnabledCommands();
                const int id = ids.empty() ? DensoraCmd::ZoomToWindow
                                           : ids[size_t(random.below(int(ids.size())))];
                note(step, QStringLiteral("command %1").arg(id));
                frame()->GetRegistry().run(id);
                ++commands;
            } else if (kind < 75) {
                const int tool = tools[size_t(random.below(int(tools.size())))];
                view->SetCurrentToolType(tool);
                const QPoint from = RandomPoint(random);
                const Qt::KeyboardModifiers modifiers = random.chance(15)
                    ? Qt::ShiftModifier
                    : (random.chance(10) ? Qt::ControlModifier : Qt::NoModifier);
                const int gesture = random.below(10);
                QWidget *viewport = Viewport();
                if (gesture < 4) {
                    note(step,
                         QStringLiteral("tool %1 click at %2,%3")
                             .arg(tool)
                             .arg(from.x())
                             .arg(from.y()));
                    QTest::mouseClick(viewport, Qt::LeftButton, modifiers, from);
                } else if (gesture < 8) {
                    const QPoint to = RandomPoint(random);
                    note(step,
                         QStringLiteral("tool %1 drag %2,%3 to %4,%5")
                             .arg(tool)
                             .arg(from.x())
                             .arg(from.y())
                             .arg(to.x())
                             .arg(to.y()));
                    QTest::mousePress(viewport, Qt::LeftButton, modifiers, from);
                    for (int i = 1; i <= 3; ++i)
                        QTest::mouseMove(viewport, from + (to - from) * i / 3);
                    QTest::mouseRelease(viewport, Qt::LeftButton, modifiers, to);
                } else if (gesture < 9) {
                    note(step,
                         QStringLiteral("tool %1 double click at %2,%3")
                             .arg(tool)
                             .arg(from.x())
                             .arg(from.y()));
                    QTest::mouseDClick(viewport, Qt::LeftButton, modifiers, from);
                } else {
                    note(step,
                         QStringLiteral("tool %1 right click at %2,%3")
                             .arg(tool)
                             .arg(from.x())
                             .arg(from.y()));
                    QTest::mouseClick(viewport, Qt::RightButton, modifiers, from);
                }
                ++mouse;
            } else if (kind < 88) {
                const Qt::Key key = keys[random.below(int(std::size(keys)))];
                const Qt::KeyboardModifiers modifiers
                    = random.chance(30) ? Qt::ControlModifier : Qt::NoModifier;
                note(step, QStringLiteral("key %1 modifiers %2").arg(int(key)).arg(int(modifiers)));
                QTest::keyClick(Viewport(), key, modifiers);
                ++keyPresses;
            } else {
                const bool undo = random.chance(60);
                note(step, undo ? QStringLiteral("undo") : QStringLiteral("redo"));
                frame()->GetRegistry().run(undo ? DensoraCmd::EditUndo : DensoraCmd::EditRedo);
                ++undoRedo;
            }
            // Until nothing is left to do: a change of look or of the panes lays
            // the window out over several rounds, and the next action must
            // meet the same window on every run.
            for (int round = 0; round < kSettleRounds; ++round) {
                QCoreApplication::sendPostedEvents();
                QCoreApplication::processEvents();
            }

            if (const QString broken = CheckPictureFirst(); !broken.isEmpty())
                FAIL() << failure(step, broken);
            if (const QString broken = CheckBandsInLanes(); !broken.isEmpty())
                FAIL() << failure(step, broken);
            // A new or other document took the analysis away: the user opens the
            // sample again and sets it up, as at the start.
            if (!frame()->GetDocument()->GetImage() || !frame()->GetDocument()->GetAnalysis()) {
                note(step, QStringLiteral("sample opened again"));
                ScopedScriptedPrompts quiet;
                ASSERT_TRUE(OpenSampleWithAnalysis()) << failure(step, QStringLiteral("reopening"));
                ++reopened;
            }
            if ((step + 1) % m_checkEvery == 0) {
                note(step, QStringLiteral("invariants"));
                const QString broken = CheckInvariants();
                ASSERT_TRUE(broken.isEmpty()) << failure(step, broken);
            }
        } catch (const std::exception &e) {
            // In the program an exception out of an event handler ends it.
            FAIL() << failure(step, QStringLiteral("exception: ") + QString::fromUtf8(e.what()));
        }
    }
    g_progress.step = -1;
    std::printf("monkey: seed %llu, %d actions (%d commands, %d mouse, %d keys, %d undo/redo), "
                "%d dialogs answered, %d messages, %d saves, %d prints, %d reopened, %zu second "
                "programs asked for\n",
                static_cast<unsigned long long>(m_seed), m_actions, commands, mouse, keyPresses,
                undoRedo, answerer.m_dialogs, monkeyPrompts->m_messages, monkeyPrompts->m_saves,
                printed, reopened, started.size());
}

} // namespace
