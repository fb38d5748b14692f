#include "ui/ClickableLabel.h"
#include "ui/GlyphButton.h"
#include "ui/Glyphs.h"
#include "ui/PictureToggle.h"
#include "ui/frmMain.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

// Every caption the window's symbol-font buttons can show, in the order the logic knows them.
const QStringList SymbolCaptions = {QStringLiteral("9"), QStringLiteral("4"),      QStringLiteral(";"),
                                    QStringLiteral("<"), QStringLiteral(":"),      QStringLiteral("U"),
                                    QStringLiteral("V"), QStringLiteral("\u00BE"), QStringLiteral("1")};

QImage canvas(QSize logical, qreal dpr)
{
    QImage image(logical * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    return image;
}

QImage drawCaption(const QString &caption, const QRectF &box, QSize size = {48, 48}, qreal dpr = 1,
                   const QColor &colour = Qt::white)
{
    QImage image = canvas(size, dpr);
    QPainter p(&image);
    Glyphs::paint(p, box, caption, colour);
    return image;
}

QImage drawCaption(const QString &caption)
{
    return drawCaption(caption, QRectF(4, 4, 40, 40));
}

QImage imageOf(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

int inked(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return n;
}

QRect inkBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// Pixels that differ by more than antialiasing noise.
int differing(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return std::max(a.width() * a.height(), b.width() * b.height());
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            n += d > 40 ? 1 : 0;
        }
    return n;
}

// How many 4x4 blocks differ clearly in coverage: two shapes, not one shape nudged by a fraction of a
// pixel.
int shapeDifference(const QImage &a, const QImage &b)
{
    int n = 0;
    for (int by = 0; by + 4 <= a.height(); by += 4)
        for (int bx = 0; bx + 4 <= a.width(); bx += 4) {
            int sum = 0;
            for (int y = by; y < by + 4; ++y)
                for (int x = bx; x < bx + 4; ++x)
                    sum += qAlpha(a.pixel(x, y)) - qAlpha(b.pixel(x, y));
            n += std::abs(sum) / 16 > 96 ? 1 : 0;
        }
    return n;
}

// Ink in one pixel column, for telling which way a symbol points.
int columnInk(const QImage &image, int x)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        n += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    return n;
}

int countColour(const QImage &image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff) ? 1 : 0;
    return n;
}

// A transparent picture as a widget grab shows it: over the widget's window background.
QImage overBackground(const QPixmap &picture, const QWidget &widget)
{
    QImage image(picture.size(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(picture.devicePixelRatio());
    image.fill(widget.palette().color(QPalette::Window));
    QPainter p(&image);
    p.drawPixmap(0, 0, picture);
    return image;
}

QPixmap solid(QSize size, const QColor &colour)
{
    QPixmap pixmap(size);
    pixmap.fill(colour);
    return pixmap;
}

} // namespace

class TestGlyphs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everySymbolCaptionHasItsOwnPicture()
    {
        QList<QImage> pictures;
        for (const QString &caption : SymbolCaptions) {
            QVERIFY2(Glyphs::hasGlyph(caption), qPrintable(caption));
            const QImage picture = drawCaption(caption);
            // A real symbol covers a good part of its box, not a stray dot.
            QVERIFY2(inked(picture) > 40 * 40 / 8, qPrintable(caption));
            pictures << picture;
        }
        for (int i = 0; i < pictures.size(); ++i)
            for (int j = i + 1; j < pictures.size(); ++j)
                QVERIFY2(shapeDifference(pictures[i], pictures[j]) >= 4,
                         qPrintable(SymbolCaptions[i] + QStringLiteral(" looks like ") + SymbolCaptions[j]));
    }

    void otherCaptionsAreWrittenOut()
    {
        for (const QString &caption : {QString(), QStringLiteral("?"), QStringLiteral("44"),
                                       QStringLiteral("u"), QStringLiteral("v"), QStringLiteral(" 4")})
            QVERIFY2(!Glyphs::hasGlyph(caption), qPrintable(caption));

        // A caption without a symbol shows as its text, never as nothing.
        QImage expected = canvas({48, 48}, 1);
        {
            QPainter p(&expected);
            p.setPen(Qt::white);
            p.drawText(QRectF(4, 4, 40, 40), Qt::AlignCenter, QStringLiteral("?"));
        }
        const QImage drawn = drawCaption(QStringLiteral("?"));
        QVERIFY(inked(drawn) > 0);
        QCOMPARE(differing(drawn, expected), 0);
    }

    void symbolsStayInTheirBoxAndColour()
    {
        const QRectF box(20, 10, 30, 16);
        const QRect allowed = box.toAlignedRect().adjusted(-1, -1, 1, 1);
        for (const QString &caption : SymbolCaptions) {
            const QImage picture = drawCaption(caption, box, {70, 36}, 1, QColor(0xff, 0x00, 0x00));
            QVERIFY2(allowed.contains(inkBounds(picture)), qPrintable(caption));
            // Centred: as much room left and right, give or take a pixel of rounding.
            const QRect ink = inkBounds(picture);
            QVERIFY2(std::abs((ink.left() - allowed.left()) - (allowed.right() - ink.right())) <= 2,
                     qPrintable(caption));
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x) {
                    const QRgb p = picture.pixel(x, y);
                    if (qAlpha(p) > 0)
                        QVERIFY2(qGreen(p) == 0 && qBlue(p) == 0, qPrintable(caption));
                }
        }
    }

    void transportSymbolsPointTheRightWay()
    {
        // Play points right: its left edge is tall, its tip short.
        const QImage play = drawCaption(QStringLiteral("4"));
        const QRect ink = inkBounds(play);
        QVERIFY(columnInk(play, ink.left() + 1) > 3 * columnInk(play, ink.right() - 1));

        // Back and forward are each other's mirror image.
        const QImage back = drawCaption(QStringLiteral("9"));
        const QImage forward = drawCaption(QStringLiteral(":"));
        QVERIFY(differing(back, forward) > 100);
        QVERIFY(differing(back.mirrored(true, false), forward) < 40);
    }

    void symbolsUseTheFullResolutionOfADenseScreen()
    {
        for (const QString &caption : SymbolCaptions) {
            const QImage single = drawCaption(caption, QRectF(4, 4, 28, 20), {36, 28}, 1);
            const QImage dense = drawCaption(caption, QRectF(4, 4, 28, 20), {36, 28}, 2);
            // Same logical place and size...
            const QRect a = inkBounds(single);
            const QRect b = inkBounds(dense);
            QVERIFY2(std::abs(b.left() / 2 - a.left()) <= 1 && std::abs(b.right() / 2 - a.right()) <= 1,
                     qPrintable(caption));
            QVERIFY2(std::abs(b.top() / 2 - a.top()) <= 1 && std::abs(b.bottom() / 2 - a.bottom()) <= 1,
                     qPrintable(caption));
            // ...drawn with four times the pixels, not a small drawing in a corner.
            const double ratio = double(inked(dense)) / inked(single);
            QVERIFY2(ratio > 3.0 && ratio < 4.6,
                     qPrintable(caption + QStringLiteral(": ") + QString::number(ratio)));
        }
    }

    void windowMarksAreDistinctAndVisible()
    {
        const auto mark = [](Glyphs::Mark m) {
            return Glyphs::render(
                       QSize(9, 9), 1,
                       [m](QPainter &p, const QRectF &box) { Glyphs::paintMark(p, box, m, Qt::black); })
                .toImage();
        };
        const QImage minimise = mark(Glyphs::Mark::Minimise);
        const QImage close = mark(Glyphs::Mark::Close);
        QVERIFY(inked(minimise) >= 6);
        QVERIFY(inked(close) >= 9);
        QVERIFY(differing(minimise, close) > 6);
        // The minimise bar sits low, where a minimised window goes.
        QVERIFY(inkBounds(minimise).top() >= 4);
        // Rendered for a dense screen, a pixmap keeps its logical size.
        const QPixmap dense = Glyphs::render(
            QSize(9, 9), 2, [](QPainter &p, const QRectF &box) { p.fillRect(box, Qt::black); });
        QCOMPARE(dense.size(), QSize(18, 18));
        QCOMPARE(dense.deviceIndependentSize(), QSizeF(9, 9));
    }

    void glyphButtonKeepsItsCaptionAndRedrawsOnChange()
    {
        GlyphButton button(QStringLiteral("U"));
        button.resize(22, 22);
        QCOMPARE(button.text(), QStringLiteral("U"));
        const QImage soundOn = imageOf(button);

        // The mute logic flips the caption; the picture must follow it, both ways.
        button.setText(QStringLiteral("V"));
        QCOMPARE(button.text(), QStringLiteral("V"));
        const QImage soundOff = imageOf(button);
        QVERIFY(differing(soundOn, soundOff) > 10);
        button.setText(QStringLiteral("U"));
        QCOMPARE(differing(imageOf(button), soundOn), 0);

        // A caption without a symbol still shows something.
        GlyphButton blank(QString{});
        blank.resize(22, 22);
        GlyphButton question(QStringLiteral("?"));
        question.resize(22, 22);
        QVERIFY(differing(imageOf(blank), imageOf(question)) > 5);
    }

    void glyphButtonIsStillAPushButton()
    {
        QWidget window;
        auto *button = new GlyphButton(QStringLiteral("4"), &window);
        button->setAccessibleName(QStringLiteral("Lire"));
        button->setGeometry(10, 10, 28, 20);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QVERIFY(button->focusPolicy() & Qt::TabFocus);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::Button);
        QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Lire"));

        QSignalSpy clicked(button, &QAbstractButton::clicked);
        QTest::keyClick(button, Qt::Key_Space);
        QCOMPARE(clicked.count(), 1);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 2);
        QCOMPARE(button->text(), QStringLiteral("4"));
    }

    void glyphButtonShowsPressedDisabledAndFocus()
    {
        QWidget window;
        auto *button = new GlyphButton(QStringLiteral("4"), &window);
        button->setGeometry(10, 10, 28, 20);
        auto *other = new GlyphButton(QStringLiteral("<"), &window);
        other->setGeometry(40, 10, 28, 20);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        other->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(other->hasFocus());
        const QImage normal = imageOf(*button);

        button->setDown(true);
        QVERIFY(differing(imageOf(*button), normal) > 10);
        button->setDown(false);
        QCOMPARE(differing(imageOf(*button), normal), 0);

        button->setEnabled(false);
        QVERIFY(differing(imageOf(*button), normal) > 10);
        button->setEnabled(true);

        button->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(button->hasFocus());
        QVERIFY(differing(imageOf(*button), normal) > 10);
    }

    void pictureToggleKeepsCheckBoxValues()
    {
        PictureToggle toggle(PictureToggle::Kind::Repeat);
        toggle.resize(51, 15);
        QSignalSpy changed(&toggle, &QCheckBox::stateChanged);

        toggle.setCheckState(Qt::Checked);
        toggle.setCheckState(Qt::Checked);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.last().at(0).toInt(), int(Qt::Checked));

        // The partial value is set by code only and must stick.
        toggle.setCheckState(Qt::PartiallyChecked);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.last().at(0).toInt(), int(Qt::PartiallyChecked));
        QCOMPARE(toggle.checkState(), Qt::PartiallyChecked);
        toggle.setCheckState(Qt::PartiallyChecked);
        QCOMPARE(changed.count(), 2);

        toggle.setCheckState(Qt::Unchecked);
        toggle.setChecked(false);
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.last().at(0).toInt(), 0);
    }

    void pictureToggleAnswersAnywhereOnItsPicture()
    {
        QWidget window;
        auto *toggle = new PictureToggle(PictureToggle::Kind::Repeat, &window);
        toggle->setGeometry(5, 5, 51, 15);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy changed(toggle, &QCheckBox::stateChanged);

        // The far end of a wide picture is no less the toggle than where a check mark would be.
        QTest::mouseClick(toggle, Qt::LeftButton, {}, QPoint(toggle->width() - 3, toggle->height() / 2));
        QCOMPARE(toggle->checkState(), Qt::Checked);
        QTest::mouseClick(toggle, Qt::LeftButton, {}, QPoint(toggle->width() / 2, toggle->height() - 2));
        QCOMPARE(toggle->checkState(), Qt::Unchecked);
        QTest::keyClick(toggle, Qt::Key_Space);
        QCOMPARE(toggle->checkState(), Qt::Checked);
        QCOMPARE(changed.count(), 3);
        // Outside it, nothing.
        QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(toggle->geometry().right() + 4, 10));
        QCOMPARE(changed.count(), 3);
    }

    void pictureToggleShowsItsStateOrAPictureFromOutside()
    {
        for (const auto kind :
             {PictureToggle::Kind::Repeat, PictureToggle::Kind::Shuffle, PictureToggle::Kind::Playlist}) {
            PictureToggle toggle(kind);
            toggle.resize(26, 15);
            const QImage off = imageOf(toggle);
            toggle.setCheckState(Qt::Checked);
            const QImage on = imageOf(toggle);
            toggle.setCheckState(Qt::PartiallyChecked);
            const QImage partly = imageOf(toggle);
            QVERIFY(differing(off, on) > 20);
            QVERIFY(differing(partly, on) > 20);
            QVERIFY(differing(partly, off) > 20);
            // Its own pictures, handed out for others to show, are exactly what it shows.
            QCOMPARE(differing(overBackground(toggle.drawnPicture(Qt::Unchecked), toggle), off), 0);
            QCOMPARE(differing(overBackground(toggle.drawnPicture(Qt::Checked), toggle), on), 0);
        }

        PictureToggle repeat(PictureToggle::Kind::Repeat);
        PictureToggle shuffle(PictureToggle::Kind::Shuffle);
        PictureToggle playlist(PictureToggle::Kind::Playlist);
        for (PictureToggle *t : {&repeat, &shuffle, &playlist})
            t->resize(26, 15);
        QVERIFY(differing(imageOf(repeat), imageOf(shuffle)) > 20);
        QVERIFY(differing(imageOf(shuffle), imageOf(playlist)) > 20);

        // A picture set from outside shows whatever the state, until it is taken away.
        PictureToggle toggle(PictureToggle::Kind::Shuffle);
        toggle.resize(26, 15);
        const QImage own = imageOf(toggle);
        toggle.setPicture(solid({20, 11}, QColor(0xff, 0x00, 0x00)));
        QVERIFY(toggle.hasPicture());
        QVERIFY(countColour(imageOf(toggle), qRgb(0xff, 0, 0)) >= 20 * 11 - 10);
        toggle.setCheckState(Qt::Checked);
        QVERIFY(countColour(imageOf(toggle), qRgb(0xff, 0, 0)) >= 20 * 11 - 10);
        // Set as the button's icon, it shows the same way.
        toggle.setIcon(QIcon(solid({20, 11}, QColor(0x00, 0x00, 0xff))));
        QVERIFY(countColour(imageOf(toggle), qRgb(0, 0, 0xff)) >= 20 * 11 - 10);
        toggle.setPicture(QPixmap());
        QVERIFY(!toggle.hasPicture());
        toggle.setCheckState(Qt::Unchecked);
        QCOMPARE(differing(imageOf(toggle), own), 0);
    }

    void mainWindowShowsSymbolsWithoutChangingCaptions()
    {
        frmMain window;
        const std::pair<QPushButton *, QString> buttons[] = {
            {window.cmdBack(), QStringLiteral("9")},    {window.cmdPlay(), QStringLiteral("4")},
            {window.cmdPause(), QStringLiteral(";")},   {window.cmdStop(), QStringLiteral("<")},
            {window.cmdForward(), QStringLiteral(":")}, {window.cmdOpen(), QStringLiteral("1")},
            {window.Check1(), QStringLiteral("U")},     {window.cmdFull(), QStringLiteral("\u00BE")},
        };
        for (const auto &[button, caption] : buttons) {
            QVERIFY2(qobject_cast<GlyphButton *>(button), qPrintable(button->objectName()));
            QCOMPARE(button->text(), caption);
            QVERIFY(Glyphs::hasGlyph(caption));
            QVERIFY(!button->accessibleName().isEmpty());
        }
        QCOMPARE(window.cmdAbt()->text(), QStringLiteral("?"));

        const std::pair<QCheckBox *, PictureToggle::Kind> toggles[] = {
            {window.chkRepeat(), PictureToggle::Kind::Repeat},
            {window.chkSuffle(), PictureToggle::Kind::Shuffle},
            {window.chkPlay(), PictureToggle::Kind::Playlist},
        };
        for (const auto &[checkBox, kind] : toggles) {
            auto *toggle = qobject_cast<PictureToggle *>(checkBox);
            QVERIFY2(toggle, qPrintable(checkBox->objectName()));
            QVERIFY(toggle->kind() == kind);
        }

        // The hidden shuffle pictures are the toggle's own off and on pictures, so that the logic
        // showing one of them looks the same as the toggle showing its state.
        auto *shuffle = qobject_cast<PictureToggle *>(window.chkSuffle());
        QVERIFY(window.imgSuff(0)->isHidden() && window.imgSuff(1)->isHidden());
        const QImage shuffleOff = window.imgSuff(0)->pixmap().toImage();
        const QImage shuffleOn = window.imgSuff(1)->pixmap().toImage();
        QVERIFY(!shuffleOff.isNull() && !shuffleOn.isNull());
        QVERIFY(differing(shuffleOff, shuffleOn) > 20);
        shuffle->setCheckState(Qt::Checked);
        const QImage ownOn = imageOf(*shuffle);
        shuffle->setIcon(window.imgSuff(1)->pixmap());
        QCOMPARE(differing(imageOf(*shuffle), ownOn), 0);
        shuffle->setIcon(window.imgSuff(0)->pixmap());
        QVERIFY(differing(imageOf(*shuffle), ownOn) > 20);

        const QImage minimise = window.Minimised()->pixmap().toImage();
        const QImage close = window.Closed()->pixmap().toImage();
        QVERIFY(inked(minimise) > 0 && inked(close) > 0);
        QVERIFY(differing(minimise, close) > 5);
    }
};

QTEST_MAIN(TestGlyphs)
#include "test_glyphs.moc"
