#include "ui/GlyphButton.h"
#include "ui/Glyphs.h"
#include "ui/PictureToggle.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

namespace {

QImage imageOf(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

int inked(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) > 0;
    return n;
}

// Pixels that differ by more than antialiasing noise.
int differing(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            n += std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                           std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))}) > 40;
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
            n += std::abs(sum) / 16 > 96;
        }
    return n;
}

} // namespace

class TestGlyphs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyCaptionHasAPictureOfItsOwn()
    {
        const QStringList captions = {"9", "4", ";", "<", ":", "U", "V", QStringLiteral("\u00BE"), "1"};
        QList<QImage> pictures;
        for (const QString &caption : captions) {
            const QImage picture = Glyphs::render(QSize(48, 48), 1, [&caption](QPainter &p, const QRectF &) {
                                       Glyphs::paint(p, QRectF(4, 4, 40, 40), caption, Qt::white);
                                   }).toImage();
            // A symbol, not the caption's letter written out in its stead.
            QVERIFY2(Glyphs::hasGlyph(caption), qPrintable(caption));
            QVERIFY2(inked(picture) > 40 * 40 / 8, qPrintable(caption));
            pictures << picture;
        }
        for (qsizetype i = 0; i < pictures.size(); ++i)
            for (qsizetype j = i + 1; j < pictures.size(); ++j)
                QVERIFY2(shapeDifference(pictures[i], pictures[j]) >= 4,
                         qPrintable(captions[i] + QStringLiteral(" looks like ") + captions[j]));
    }

    void glyphButtonFollowsItsCaption()
    {
        GlyphButton button(QStringLiteral("U"));
        button.resize(22, 22);
        const QImage soundOn = imageOf(button);
        // The mute logic flips the caption and reads it back; the picture must follow, both ways.
        button.setText(QStringLiteral("V"));
        QCOMPARE(button.text(), QStringLiteral("V"));
        QVERIFY(differing(imageOf(button), soundOn) > 10);
        button.setText(QStringLiteral("U"));
        QCOMPARE(button.text(), QStringLiteral("U"));
        QCOMPARE(imageOf(button), soundOn);
    }

    void pictureToggleSignalsOnlyRealChangesOfItsThreeStates()
    {
        PictureToggle toggle(PictureToggle::Kind::Repeat);
        QSignalSpy changed(&toggle, &QCheckBox::stateChanged);
        // The state set, then the changes signalled so far: setting the same state again is silent.
        const std::pair<Qt::CheckState, int> steps[] = {{Qt::Checked, 1},          {Qt::Checked, 1},
                                                        {Qt::PartiallyChecked, 2}, {Qt::PartiallyChecked, 2},
                                                        {Qt::Unchecked, 3},        {Qt::Unchecked, 3}};
        for (const auto &[state, count] : steps) {
            toggle.setCheckState(state);
            QCOMPARE(toggle.checkState(), state);
            QCOMPARE(changed.count(), count);
            QCOMPARE(changed.last().at(0).toInt(), int(state));
        }
    }

    void pictureToggleAnswersAnywhereOnItsPicture()
    {
        PictureToggle toggle(PictureToggle::Kind::Repeat);
        toggle.resize(51, 15);
        toggle.show();
        QVERIFY(QTest::qWaitForWindowExposed(&toggle));
        QSignalSpy changed(&toggle, &QCheckBox::stateChanged);
        // The far end of a wide picture is no less the toggle than where a check mark would be.
        for (const QPoint spot : {QPoint(48, 7), QPoint(25, 13), QPoint(2, 2)}) {
            const bool wasChecked = toggle.isChecked();
            QTest::mouseClick(&toggle, Qt::LeftButton, {}, spot);
            QVERIFY2(toggle.isChecked() != wasChecked, qPrintable(QString::number(spot.x())));
        }
        QCOMPARE(changed.count(), 3);
    }

    void pictureToggleShowsAPictureFromOutside()
    {
        PictureToggle toggle(PictureToggle::Kind::Shuffle);
        toggle.resize(26, 15);
        const QImage own = imageOf(toggle);
        QPixmap red(20, 11);
        red.fill(QColor(0xff, 0, 0));
        // The middle of the picture, whatever a pixel of rounding does to where it is centred.
        QImage redMiddle(18, 9, QImage::Format_ARGB32_Premultiplied);
        redMiddle.fill(QColor(0xff, 0, 0));
        // The shuffle logic hands its picture as the icon; either way it shows whatever the state, until
        // it is taken away.
        for (const bool asIcon : {true, false}) {
            asIcon ? toggle.setIcon(QIcon(red)) : toggle.setPicture(red);
            for (const Qt::CheckState state : {Qt::Checked, Qt::Unchecked}) {
                toggle.setCheckState(state);
                QVERIFY2(imageOf(toggle).copy(4, 3, 18, 9) == redMiddle, asIcon ? "icon" : "picture");
            }
            toggle.setPicture(QPixmap());
            QCOMPARE(imageOf(toggle), own);
        }
    }
};

QTEST_MAIN(TestGlyphs)
#include "test_glyphs.moc"
