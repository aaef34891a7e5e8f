#pragma once
// The about dialog: product name, version, the maker's line with its span of years, the
// maker's logo and a link to the maker's web site. The main window makes it once and shows
// the same dialog every time "About" is chosen.

#include <QDialog>
#include <QLabel>
#include <QUrl>
#include <functional>

class QPushButton;
class QShowEvent;

// A label that reports a click (a left-button press and release over it), as the link and
// the logo of the about dialog need.
class TAboutClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void Clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool Pressed = false;
};

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    // The maker's web site, opened by the link and by the logo.
    static const QString WebAddress;
    // Hands an address to the desktop's default browser. Tests put a recorder in its place.
    static std::function<void(const QUrl&)> OpenUrl;

    QWidget* Panel1 = nullptr;           // the white panel filling the dialog
    QLabel* Label1 = nullptr;            // "Tarvik"
    QLabel* VersionLabel = nullptr;      // "Version: a.b.c.d"
    QLabel* MakerLabel = nullptr;        // "(c) Tarvik Test Systems, 2010-yyyy"
    TAboutClickLabel* Label2 = nullptr;  // the web address as a link
    TAboutClickLabel* Image2 = nullptr;  // the logo
    QPushButton* bOK = nullptr;

public slots:
    // Fills in the texts that depend on the run: the version and this year. Runs once, when
    // the dialog is made, so a dialog kept for the whole run keeps the year it was made in.
    void FormCreate();
    void bOKClick();
    void Label2Click();
    void Image2Click();

protected:
    void showEvent(QShowEvent* event) override;
};

// The logo shown by the dialog, decoded from the program's resources (null if unreadable).
QImage AboutLogo();
