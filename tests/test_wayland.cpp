#include "PlayerProcess.h"
#include "playback/GstMediaEngine.h"
#include "ui/WindowShape.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <csignal>
#include <thread>

// Runs inside a headless weston (tests/with-weston.sh), on Qt's Wayland platform or on Xwayland. What
// the compositor shows is read back from its own screenshots: a sink's sub-surface is in no grab Qt
// can make.
namespace {

// The test card: four flat quarters, easy to find again after scaling and video coding.
const QRgb Quarters[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};

bool near(QRgb a, QRgb b, int tolerance = 40)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

QImage screenshot()
{
    QTemporaryDir dir;
    QProcess shooter;
    shooter.setWorkingDirectory(dir.path());
    shooter.start(QStringLiteral("weston-screenshooter"), {});
    if (!shooter.waitForFinished(20000))
        return {};
    const QStringList files = QDir(dir.path()).entryList({QStringLiteral("*.png")});
    return files.isEmpty() ? QImage()
                           : QImage(dir.filePath(files.first())).convertToFormat(QImage::Format_RGB32);
}

// The box around the pixels of one colour, and how many quarters of the card are on the screen.
QRect boxOf(const QImage &image, const std::function<bool(QRgb)> &match)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (match(line[x]))
                box |= QRect(x, y, 1, 1);
    }
    return box;
}

int quartersSeen(const QImage &image, QRect *cardBox)
{
    int seen = 0;
    *cardBox = QRect();
    for (QRgb quarter : Quarters) {
        const QRect box = boxOf(image, [quarter](QRgb p) { return near(p, quarter); });
        if (box.width() > 16 && box.height() > 16) {
            ++seen;
            *cardBox |= box;
        }
    }
    return seen;
}

bool isWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

class TestWayland : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_card;

    // The box around the whole card once it is as wanted, waiting up to 5 s for the compositor to
    // catch up; else the last box seen, empty when there was no card.
    QRect cardOnScreen(const std::function<bool(QRect)> &wanted = {})
    {
        QRect last;
        for (int attempt = 0; attempt < 20; ++attempt) {
            QTest::qWait(250);
            QRect box;
            if (quartersSeen(screenshot(), &box) < 4)
                continue;
            last = box;
            if (!wanted || wanted(box))
                break;
        }
        return last;
    }

private slots:
    void initTestCase()
    {
        const QString filter = QStringLiteral(
            "color=c=red:s=160x120[a];color=c=lime:s=160x120[b];color=c=blue:s=160x120[c];"
            "color=c=yellow:s=160x120[d];[a][b]hstack[t];[c][d]hstack[u];[t][u]vstack,format=yuv420p");
        m_card = m_dir.filePath(QStringLiteral("card.avi"));
        const int rc = QProcess::execute(
            QStringLiteral("ffmpeg"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
             QStringLiteral("-i"), filter, QStringLiteral("-t"), QStringLiteral("30"), QStringLiteral("-r"),
             QStringLiteral("25"), QStringLiteral("-c:v"), QStringLiteral("mpeg4"), QStringLiteral("-q:v"),
             QStringLiteral("2"), m_card});
        QCOMPARE(rc, 0);
    }

    // Native size, stretched over a wider window, then full screen with its control bar.
    void cardShowsAtEveryZoom()
    {
        QWidget window;
        window.setStyleSheet(QStringLiteral("background: black"));
        auto *area = new QWidget(&window);
        window.resize(480, 400);
        area->setGeometry(window.rect());
        GstMediaEngine engine(area, {.audioSink = QStringLiteral("fakeaudiosink"), .videoSink = QString()});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        engine.setFileName(m_card);
        QVERIFY2(engine.ErrorCode() == 0, qPrintable(engine.ErrorDescription()));

        const auto sized = [](int width, int height) {
            return [=](QRect box) {
                return std::abs(box.width() - width) <= 10 && std::abs(box.height() - height) <= 10;
            };
        };
        QRect card = cardOnScreen(sized(320, 240));
        QVERIFY2(sized(320, 240)(card),
                 qPrintable(QStringLiteral("native size shows %1x%2").arg(card.width()).arg(card.height())));

        engine.setDisplaySize(MediaEngine::DisplayFit);
        window.resize(600, 300);
        area->setGeometry(window.rect());
        card = cardOnScreen(sized(600, 300));
        QVERIFY2(sized(600, 300)(card),
                 qPrintable(QStringLiteral("fit shows %1x%2").arg(card.width()).arg(card.height())));

        // The zoom commands hide the window and show it again, and Wayland gives it a new surface.
        window.hide();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // (Where it comes back is the compositor's choice: part of it may be off the screen.)
        QVERIFY2(cardOnScreen().isValid(), "no card once the window is back");

        engine.setFullScreenControls(true);
        engine.setDisplaySize(MediaEngine::DisplayFullScreen);
        card = cardOnScreen([](QRect box) { return box.width() > 1100; });
        QVERIFY2(card.width() > 1100, qPrintable(QStringLiteral("full screen shows %1").arg(card.width())));
    }

    // The compositor shows the sink's frames as they come: a busy UI thread does not stop the picture.
    void pictureMovesWhileTheUiThreadIsBusy()
    {
        const QString moving = m_dir.filePath(QStringLiteral("moving.avi"));
        QCOMPARE(
            QProcess::execute(QStringLiteral("ffmpeg"),
                              QStringLiteral("-v error -f lavfi -i testsrc=size=320x240:rate=25 -t 20 -c:v "
                                             "mpeg4 -q:v 2")
                                      .split(QLatin1Char(' ')) +
                                  QStringList{moving}),
            0);
        QWidget window;
        window.resize(320, 240);
        auto *area = new QWidget(&window);
        area->setGeometry(window.rect());
        GstMediaEngine engine(area, {.audioSink = QStringLiteral("fakeaudiosink"), .videoSink = QString()});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        engine.setFileName(moving);
        QTest::qWait(1000);
        // Two pictures a second apart, taken while this thread does nothing but wait.
        QImage first;
        QImage second;
        std::thread shooter([&] {
            first = screenshot();
            std::this_thread::sleep_for(std::chrono::seconds(1));
            second = screenshot();
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        shooter.join();
        QVERIFY(!first.isNull() && !second.isNull());
        // Below the desktop's panel, whose clock may turn meanwhile.
        const QRect below(0, 40, first.width(), first.height() - 40);
        QVERIFY2(first.copy(below) != second.copy(below), "the picture stood still");
    }

    // Outside the rounded shape the desktop shows through, even where a control covers the corner.
    void cornersAreTransparent()
    {
        // Painted all over, as the skin is.
        struct Skinned : QWidget {
            Skinned() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {}
            void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), Qt::magenta); }
        } window;
        WindowShape::prepareRounded(&window);
        window.resize(300, 200);
        auto *panel = new QWidget(&window);
        panel->setPalette(QPalette(Qt::cyan));
        panel->setAutoFillBackground(true);
        panel->setGeometry(0, 150, 300, 50);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        WindowShape::applyRounded(&window, 15);
        const auto ours = [](QRgb p) {
            return near(p, qRgb(255, 0, 255), 8) || near(p, qRgb(0, 255, 255), 8);
        };
        QImage shot;
        QRect box;
        for (int attempt = 0; attempt < 20 && (box.width() < 296 || box.height() < 196); ++attempt) {
            QTest::qWait(250);
            shot = screenshot();
            box = boxOf(shot, ours);
        }
        QVERIFY2(box.width() >= 296 && box.height() >= 196, "the window is not on the screen");
        for (const QPoint corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
            QVERIFY2(!ours(shot.pixel(corner)), "a square corner");
        QVERIFY(ours(shot.pixel(box.center())));
    }

    // A Wayland window can neither learn its place nor stay on top: what was stored for them stays.
    void optionsTheSessionCannotHonourKeepTheirValues()
    {
        if (!isWayland())
            QSKIP("only Wayland withholds the window's place");
        PlayerProcess player;
        QVERIFY(
            PlayerProcess::writeBytes(player.settingsPath(), "[Options]\ntop=1500\nleft=2700\nOntop=True\n"));
        player.setEnvironment(QStringLiteral("QT_QPA_PLATFORM"), QString());
        QVERIFY(player.start());
        QTest::qWait(5000);
        QCOMPARE(player.signalAndWait(SIGTERM), 0);
        QSettings stored(player.settingsPath(), QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("Options/top")).toString(), QStringLiteral("1500"));
        QCOMPARE(stored.value(QStringLiteral("Options/left")).toString(), QStringLiteral("2700"));
        QCOMPARE(stored.value(QStringLiteral("Options/Ontop")).toString(), QStringLiteral("True"));
    }
};

QTEST_MAIN(TestWayland)
#include "test_wayland.moc"
