#pragma once
// The splash window shown while the program starts: the loading text, a bar of 20 steps and
// a short cross-fade between two pictures.
#include <QDialog>
#include <QImage>

class QLabel;
class QProgressBar;
class QTimer;

class TfrmSplash : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* parent = nullptr);
    ~TfrmSplash() override;

    // The splash window while it exists (the program entry frees it before the message loop).
    static TfrmSplash* Current();

    QLabel* Label1() const { return label1_; }
    QProgressBar* ProgressBar1() const { return progressBar1_; }
    int FadePercent() const { return fade_; }

    // One tick of the fade: 3 percent more of the second picture; above 100 the timer stops.
    void Timer1Timer();

private:
    QLabel* image1_ = nullptr;
    QLabel* label1_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
    QTimer* timer1_ = nullptr;
    QImage picture1_;
    QImage picture2_;
    int fade_ = 0;
};

// Mixes two pictures of three bytes per pixel: every byte is p * b2 / 100 + (100 - p) * b1 / 100,
// each term cut to an integer; the result has the second picture's size. A first picture
// smaller than the second gives an empty image.
QImage BlendPictures(const QImage& second, const QImage& first, int p);

// Start-up steps: when the splash window exists, step its bar and show
// "Loading Sentrel Desktop..." followed by the text (repainted at once).
void SplashStep(const QString& text);
// Sets the splash bar to its maximum (when the window exists).
void SplashFinish();
