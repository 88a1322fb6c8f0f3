// The card pictures: sizes, the index rule, and that no two cards look alike.

#include "cards/CardImages.h"

#include <QImage>
#include <QTest>

class TstPictures : public QObject
{
    Q_OBJECT
private slots:
    void sizesAndIndexRule();
    void everyPictureDiffers();
    void drawnOnce();
};

void TstPictures::sizesAndIndexRule()
{
    for (int i = 0; i < RealCardCount; ++i)
        QCOMPARE(RealCardImage(i).deviceIndependentSize().toSize(), RealCardSize);
    for (int i = 0; i < SmallCardCount; ++i)
        QCOMPARE(SmallCardImage(i).deviceIndependentSize().toSize(), SmallCardSize);
    QCOMPARE(RealCardImage(43).cacheKey(), RealCardImage(0).cacheKey());
    QCOMPARE(RealCardImage(-1).cacheKey(), RealCardImage(0).cacheKey());
    QCOMPARE(SmallCardImage(49).cacheKey(), SmallCardImage(0).cacheKey());
}

void TstPictures::everyPictureDiffers()
{
    const auto check = [](auto picture, int count) {
        QList<QImage> images;
        for (int i = 0; i < count; ++i)
            images << picture(i).toImage();
        for (int i = 0; i < count; ++i)
            for (int j = i + 1; j < count; ++j)
                QVERIFY2(images[i] != images[j], qPrintable(QStringLiteral("%1 = %2").arg(i).arg(j)));
    };
    check(RealCardImage, RealCardCount);
    check(SmallCardImage, SmallCardCount);
}

void TstPictures::drawnOnce()
{
    QCOMPARE(RealCardImage(7).cacheKey(), RealCardImage(7).cacheKey());
    QCOMPARE(SmallCardImage(44).cacheKey(), SmallCardImage(44).cacheKey());
}

QTEST_MAIN(TstPictures)
#include "tst_pictures.moc"
