#include "MediaMaker.h"
#include "PlayerProcess.h"
#include "engine/GstMediaEngine.h"
#include "ui/WindowShape.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFrame>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <array>
#include <csignal>
#include <thread>
#include <tuple>

// In a headless weston (tests/with-weston.sh), on Wayland or Xwayland; its screenshots show sub-surfaces.
namespace {

bool near(QRgb a, QRgb b, int tolerance)
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
    shooter.waitForFinished(20000);
    const QStringList files = QDir(dir.path()).entryList({QStringLiteral("*.png")});
    return files.isEmpty() ? QImage()
                           : QImage(dir.filePath(files.first())).convertToFormat(QImage::Format_RGB32);
}

QRect boxOf(const QImage &image, const std::function<bool(QRgb)> &match)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(reinterpret_cast<const QRgb *>(image.constScanLine(y))[x]))
                box |= QRect(x, y, 1, 1);
    return box;
}

// The box around the test card's four flat quarters, empty unless all four are on the screen.
QRect cardIn(const QImage &shot)
{
    QRect card;
    for (QRgb quarter : {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)}) {
        const QRect box = boxOf(shot, [quarter](QRgb p) { return near(p, quarter, 40); });
        if (box.width() < 16 || box.height() < 16)
            return {};
        card |= box;
    }
    return card;
}

// What `measure` finds in a screenshot once `good` accepts it, giving the compositor up to 60 s to
// catch up; else what it found last.
QRect waitFor(const std::function<QRect(const QImage &)> &measure, const std::function<bool(QRect)> &good)
{
    QRect found;
    std::ignore = QTest::qWaitFor([&] { return good(found = measure(screenshot())); }, 60000);
    return found;
}

std::function<bool(QRect)> sized(int width, int height)
{
    return [=](QRect box) {
        return std::abs(box.width() - width) <= 10 && std::abs(box.height() - height) <= 10;
    };
}

struct VideoWindow {
    explicit VideoWindow(QSize size) : area(new QWidget(&window))
    {
        // Black like the player's video window, so a screenshot shows where the window is.
        window.setPalette(QPalette(Qt::black));
        window.setAutoFillBackground(true);
        window.resize(size);
        area->setGeometry(window.rect());
        window.show();
    }
    QWidget window;
    QWidget *area;
    GstMediaEngine engine{area, {.audioSink = QStringLiteral("fakeaudiosink"), .videoSink = QString()}};
};

} // namespace

class TestWayland : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    MediaMaker m_maker{m_dir.path()};

    QString makeClip(const QString &name, const QString &lavfi)
    {
        return m_maker.runFfmpeg(name, "-f lavfi -i " + lavfi + " -t 20 -c:v mpeg4 -q:v 2");
    }

private slots:
    // Native, stretched, hidden and shown again (a new surface on Wayland), full screen with the bar;
    // at Qt's scale (QT_SCALE_FACTOR) too, where the compositor's units are not Qt's.
    void cardShowsAtEveryZoom()
    {
        VideoWindow video({480, 400});
        auto &[window, area, engine] = video;
        QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
        engine.setFileName(makeClip(
            QStringLiteral("card.avi"),
            QStringLiteral("color=c=red:s=160x120[a];color=c=lime:s=160x120[b];color=c=blue:s=160x120[c];"
                           "color=c=yellow:s=160x120[d];[a][b]hstack[t];[c][d]hstack[u];[t][u]vstack")));
        QVERIFY2(engine.ErrorCode() == 0, qPrintable(engine.ErrorDescription()));
        const auto expect = [](const char *step, const std::function<bool(QRect)> &good) {
            const QRect card = waitFor(cardIn, good);
            QVERIFY2(good(card),
                     qPrintable(QStringLiteral("%1: %2x%3").arg(step).arg(card.width()).arg(card.height())));
        };
        const qreal scale = window.devicePixelRatio();
        expect("native", sized(qRound(320 * scale), qRound(240 * scale)));
        engine.setDisplaySize(MediaEngine::DisplayFit);
        window.resize(400, 200); // on the screen whole at twice Qt's scale too, wherever it is put
        area->setGeometry(window.rect());
        // Stretched over the whole window, in its place: none of the black window shows beside it (the
        // picture may take its new size a frame before the window does).
        QImage shot;
        const auto besides = [](QRect card) {
            return std::array{QPoint(card.right() + 3, card.center().y()),
                              QPoint(card.center().x(), card.bottom() + 3)};
        };
        const auto fit = sized(qRound(400 * scale), qRound(200 * scale));
        const QRect card =
            waitFor([&](const QImage &image) { return cardIn(shot = image); },
                    [&](QRect found) {
                        return fit(found) && std::ranges::none_of(besides(found), [&](QPoint p) {
                                   return near(shot.pixel(p), qRgb(0, 0, 0), 8);
                               });
                    });
        QVERIFY2(fit(card), qPrintable(QStringLiteral("fit: %1x%2").arg(card.width()).arg(card.height())));
        for (const QPoint beside : besides(card))
            QVERIFY(!near(shot.pixel(beside), qRgb(0, 0, 0), 8));
        window.hide();
        window.show();
        expect("shown again (where the compositor likes, maybe partly off the screen)", &QRect::isValid);
        engine.setFullScreenControls(true);
        engine.setDisplaySize(MediaEngine::DisplayFullScreen);
        expect("full screen", [](QRect box) { return box.width() > 1100; });
    }

    // The compositor shows the sink's frames as they come: a busy UI thread does not stop the picture.
    void pictureMovesWhileTheUiThreadIsBusy()
    {
        VideoWindow video({320, 240});
        video.engine.setFileName(
            makeClip(QStringLiteral("moving.avi"), QStringLiteral("testsrc=size=320x240:rate=25")));
        QVERIFY(QTest::qWaitForWindowExposed(&video.window, 20000));
        QTRY_VERIFY_WITH_TIMEOUT(video.engine.CurrentPosition() > 0.2, 20000);
        const QRect below(0, 40, 1280, 984); // the panel's clock may turn meanwhile
        QImage first;
        bool moved = false;
        std::thread shooter([&] {
            first = screenshot().copy(below);
            QElapsedTimer clock;
            clock.start();
            while (!moved && !first.isNull() && !clock.hasExpired(30000))
                moved = screenshot().copy(below) != first;
        });
        shooter.join(); // this thread does nothing meanwhile
        QVERIFY2(!first.isNull() && moved, "the picture stood still");
    }

    // Outside the rounded shape the desktop shows through, even where a control covers the corner.
    void cornersAreTransparent()
    {
        struct Skinned : QWidget { // painted all over, as the skin is
            Skinned() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {}
            void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), Qt::magenta); }
        } window;
        WindowShape::prepareRounded(&window);
        window.resize(300, 200);
        auto *panel = new QFrame(&window);
        panel->setStyleSheet(QStringLiteral("background: cyan"));
        panel->setGeometry(0, 150, 300, 50);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
        WindowShape::applyRounded(&window, 15);
        const auto ours = [](QRgb p) {
            return near(p, qRgb(255, 0, 255), 8) || near(p, qRgb(0, 255, 255), 8);
        };
        QImage shot;
        const auto corners = [](QRect box) {
            return std::array{box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()};
        };
        // The shape may reach the compositor a frame after the window does.
        const QRect box = waitFor([&](const QImage &image) { return boxOf(shot = image, ours); },
                                  [&](QRect found) {
                                      return sized(300, 200)(found) &&
                                             std::ranges::none_of(corners(found), [&](QPoint corner) {
                                                 return ours(shot.pixel(corner));
                                             });
                                  });
        QVERIFY2(sized(300, 200)(box), "the window is not on the screen");
        for (const QPoint corner : corners(box))
            QVERIFY2(!ours(shot.pixel(corner)), "a square corner");
        QVERIFY(ours(shot.pixel(box.center())));
    }

    // A Wayland window can neither learn its place nor stay on top: what was stored for them stays.
    void optionsTheSessionCannotHonourKeepTheirValues()
    {
        if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
            QSKIP("only Wayland withholds the window's place");
        PlayerProcess player;
        QVERIFY(writeBytes(player.settingsPath(), "[Options]\ntop=1500\nleft=2700\nOntop=True\n"));
        // Once the main window has loaded, its tick plays the list's second entry.
        const QString clip = makeClip(QStringLiteral("clip.avi"), QStringLiteral("testsrc"));
        QVERIFY(writeBytes(player.listPath(), QStringLiteral("\"%1\"\r\n\"%1\"\r\n").arg(clip).toUtf8()));
        player.setEnvironment(QStringLiteral("QT_QPA_PLATFORM"), QString());
        QVERIFY(player.start());
        QTRY_VERIFY_WITH_TIMEOUT(player.openFiles().contains(clip), 30000);
        QCOMPARE(player.signalAndWait(SIGTERM), 0);
        const QByteArray saved = readBytes(player.settingsPath());
        QVERIFY2(saved.contains("Vol="), "the options were not saved");
        for (const char *kept : {"top=1500\n", "left=2700\n", "Ontop=True\n"})
            QVERIFY2(saved.contains(kept), saved.constData());
    }
};

QTEST_MAIN(TestWayland)
#include "test_wayland.moc"
