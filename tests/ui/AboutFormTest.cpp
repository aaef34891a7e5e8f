#include <QDate>
#include <QFile>
#include <QFontInfo>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cstdio>
#include <optional>

#include <jpeglib.h>

#include "ProgramFixture.h"
#include "TestRegistry.h"
#include "core/ProgramState.h"
#include "ui/AboutForm.h"
#include "ui/Fonts.h"
#include "ui/JpegImage.h"

namespace {

// A JPEG made by libjpeg's own encoder, so the decoder is checked against a picture whose
// content the test knows.
QByteArray EncodeJpeg(const QImage& picture, bool gray)
{
    const QImage source = picture.convertToFormat(gray ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(source.width());
    info.image_height = JDIMENSION(source.height());
    info.input_components = gray ? 1 : 3;
    info.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uchar*>(source.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), int(size));
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

QByteArray LogoBytes()
{
    QFile file(QStringLiteral(":/ui/logo.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace

class AboutFormTest : public QObject {
    Q_OBJECT
    std::optional<TProgramFixture> Fixture;
    QList<QUrl> Opened;
    std::function<void(const QUrl&)> RealOpenUrl;

private slots:
    void initTestCase()
    {
        RegisterTahoma();
        RegisterTahoma();
        RealOpenUrl = TAboutForm::OpenUrl;
    }
    void init()
    {
        Fixture.emplace();
        Opened.clear();
        TAboutForm::OpenUrl = [this](const QUrl& url) { Opened << url; };
    }
    void cleanup()
    {
        TAboutForm::OpenUrl = RealOpenUrl;
        TARVIK_FINISH_FIXTURE(Fixture);
    }

    void ShowsVersionAndMakerAgainAfterOK_data()
    {
        QTest::addColumn<QString>("version");
        QTest::newRow("release build") << "1.2.0.15";
        QTest::newRow("no version information") << "0.0.0.0";
    }
    void ShowsVersionAndMakerAgainAfterOK()
    {
        QFETCH(QString, version);
        VersionString = version;
        const QString maker = "(c) Tarvik Test Systems, 2010-" + QString::number(QDate::currentDate().year());
        TAboutForm form;
        QCOMPARE(form.windowTitle(), QString("About"));
        for (int round = 0; round < 2; ++round) {
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QCOMPARE(form.Label1->text(), QString("Tarvik"));
            QCOMPARE(form.VersionLabel->text(), "Version: " + version);
            QCOMPARE(form.MakerLabel->text(), maker);
            QTest::mouseClick(form.bOK, Qt::LeftButton);
            QVERIFY(!form.isVisible());
            QCOMPARE(form.result(), int(QDialog::Accepted));
            // The dialog is made once per run: a later version text does not reach it.
            VersionString = "9.9.9.9";
        }
        QVERIFY(Opened.isEmpty());
    }

    void HasNoCloseBox()
    {
        TAboutForm form;
        const Qt::WindowFlags flags = form.windowFlags();
        QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowTitleHint));
        QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowSystemMenuHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinMaxButtonsHint));
    }

    void TextsInTahomaFitTheDialog()
    {
        if (!QFile::exists("/usr/share/wine/fonts/tahoma.ttf") || !QFile::exists("/usr/share/wine/fonts/tahomabd.ttf"))
            QSKIP("Wine's Tahoma is not installed: the widths differ in the substitute font");
        VersionString = "65535.65535.65535.65535";
        TAboutForm form;
        QCOMPARE(form.font().pointSize(), 8);
        QCOMPARE(QFontInfo(form.MakerLabel->font()).family(), QString("Tahoma"));
        QCOMPARE(QFontInfo(form.Label2->font()).styleName(), QString("Bold"));
        // Nothing is cut off by the dialog's edge, and the link does not run into the maker line.
        for (QWidget* control : form.Panel1->findChildren<QWidget*>())
            QVERIFY2(form.Panel1->rect().contains(control->geometry()), qPrintable(control->objectName()));
        QVERIFY(form.MakerLabel->geometry().right() < form.Label2->geometry().left());
    }

    void ControlsSitAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");  // a zero size means the control sizes itself
        QTest::newRow("Label1") << "Label1" << QRect(8, 8, 0, 0);
        QTest::newRow("VersionLabel") << "VersionLabel" << QRect(8, 24, 0, 0);
        QTest::newRow("MakerLabel") << "MakerLabel" << QRect(8, 40, 0, 0);
        QTest::newRow("Label2") << "Label2" << QRect(200, 40, 0, 0);
        QTest::newRow("Image2") << "Image2" << QRect(8, 56, 292, 60);
        QTest::newRow("bOK") << "bOK" << QRect(109, 120, 81, 25);
        QTest::newRow("Panel1") << "Panel1" << QRect(0, 0, 300, 148);
    }
    void ControlsSitAtTheirPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        VersionString = "1.2.0.15";
        TAboutForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.size(), QSize(300, 148));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QWidget* control = form.findChild<QWidget*>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(control->pos(), place.topLeft());
        if (!place.size().isEmpty())
            QCOMPARE(control->size(), place.size());
        const QPoint centre = form.screen()->availableGeometry().center();
        QVERIFY((form.frameGeometry().center() - centre).manhattanLength() <= 2);
    }

    void LinkLooksLikeALink()
    {
        TAboutForm form;
        QCOMPARE(form.Label2->text(), QString("tarvik.example"));
        QVERIFY(form.Label2->font().bold());
        QVERIFY(form.Label2->font().underline());
        QCOMPARE(form.Label2->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(form.Label2->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(form.Image2->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(form.Panel1->palette().color(QPalette::Window), QColor(Qt::white));
    }

    void ClickOpensTheWebSite_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("link") << "Label2";
        QTest::newRow("logo") << "Image2";
    }
    void ClickOpensTheWebSite()
    {
        QFETCH(QString, name);
        TAboutForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.findChild<QWidget*>(name), Qt::LeftButton);
        QCOMPARE(Opened, QList<QUrl>{QUrl("https://tarvik.example")});
        // A right click is no click, and the dialog stays open.
        QTest::mouseClick(form.findChild<QWidget*>(name), Qt::RightButton);
        QCOMPARE(Opened.size(), 1);
        QVERIFY(form.isVisible());
    }

    void LogoIsTheDecodedPicture()
    {
        TAboutForm form;
        const QByteArray bytes = LogoBytes();
        QVERIFY(!bytes.isEmpty());
        QVERIFY(bytes.size() < 20 * 1024);
        const QImage logo = DecodeJpeg(bytes);
        QCOMPARE(logo.size(), QSize(292, 60));
        QCOMPARE(logo.format(), QImage::Format_RGB888);
        const QImage shown = form.Image2->pixmap().toImage().convertToFormat(QImage::Format_RGB888);
        QCOMPARE(shown, logo);
        // Dark blue on white: the corner is white, the middle of the glyph is not.
        QVERIFY(Near(logo.pixel(0, 0), qRgb(255, 255, 255), 8));
        QVERIFY(qBlue(logo.pixel(30, 14)) > qRed(logo.pixel(30, 14)) + 40);
    }

    void DecodesWhatLibjpegEncoded_data()
    {
        QTest::addColumn<bool>("gray");
        QTest::newRow("colour") << false;
        QTest::newRow("grayscale") << true;
    }
    void DecodesWhatLibjpegEncoded()
    {
        QFETCH(bool, gray);
        // Four flat quarters; block edges fall on 16-pixel boundaries, so the colours survive.
        QImage picture(64, 32, QImage::Format_RGB888);
        const QRgb colours[4] = {qRgb(200, 30, 40), qRgb(20, 160, 60), qRgb(30, 50, 210), qRgb(240, 240, 240)};
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 64; ++x)
                picture.setPixel(x, y, colours[(x / 32) + 2 * (y / 16)]);
        const QImage expected = gray ? picture.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_RGB888) : picture;

        const QImage decoded = DecodeJpeg(EncodeJpeg(picture, gray));
        QCOMPARE(decoded.size(), QSize(64, 32));
        QCOMPARE(decoded.format(), QImage::Format_RGB888);
        for (const QPoint at : {QPoint(8, 4), QPoint(40, 4), QPoint(8, 28), QPoint(56, 28)}) {
            const QRgb got = decoded.pixel(at), want = expected.pixel(at);
            QVERIFY2(Near(got, want, 6), qPrintable(QString("at %1,%2: %3 instead of %4")
                                                         .arg(at.x()).arg(at.y())
                                                         .arg(got, 8, 16).arg(want, 8, 16)));
        }
    }

    void BrokenDataGivesNoPicture_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QByteArray logo = LogoBytes();
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not a JPEG") << QByteArray("BM6\0\0\0 this is a bitmap, not a JPEG", 36);
        QTest::newRow("start marker only") << QByteArray("\xFF\xD8", 2);
        QTest::newRow("header only") << logo.left(300);
        QTest::newRow("cut in half") << logo.left(logo.size() / 2);
        QTest::newRow("end marker missing") << logo.left(logo.size() - 2);
        QByteArray badHeader = logo;
        badHeader.replace(badHeader.indexOf("\xFF\xC0"), 2, "\xFF\xCF");  // an arithmetic-coded lossless frame
        QTest::newRow("unsupported frame type") << badHeader;
        QByteArray zeroWidth = logo;
        const qsizetype frame = zeroWidth.indexOf("\xFF\xC0");
        zeroWidth[frame + 7] = 0;  // the frame's width, two bytes
        zeroWidth[frame + 8] = 0;
        QTest::newRow("zero width") << zeroWidth;
    }
    void BrokenDataGivesNoPicture()
    {
        QFETCH(QByteArray, data);
        QVERIFY(DecodeJpeg(data).isNull());
    }
};

TARVIK_TEST(AboutFormTest)
#include "AboutFormTest.moc"
