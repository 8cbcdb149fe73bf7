#include "tevrin/shell/splash.h"

#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {
TfrmSplash* g_splash = nullptr;

QImage MakePicture(QColor top, QColor bottom)
{
    QImage image(360, 120, QImage::Format_RGB888);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, image.height());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    painter.fillRect(image.rect(), gradient);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPointSize(20);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Sentrel"));
    return image;
}
}  // namespace

TfrmSplash::TfrmSplash(QWidget* parent) : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Sentrel Analyzer Graphical User Interface"));
    auto* layout = new QVBoxLayout(this);
    picture1_ = MakePicture(QColor(0, 40, 90), QColor(0, 90, 160));
    picture2_ = MakePicture(QColor(0, 90, 60), QColor(0, 150, 110));
    image1_ = new QLabel(this);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setPixmap(QPixmap::fromImage(picture1_));
    label1_ = new QLabel(QStringLiteral("Loading Sentrel Desktop..."), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    progressBar1_ = new QProgressBar(this);
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar1_->setRange(0, 20);
    progressBar1_->setValue(0);
    progressBar1_->setTextVisible(false);
    layout->addWidget(image1_);
    layout->addWidget(label1_);
    layout->addWidget(progressBar1_);
    timer1_ = new QTimer(this);
    timer1_->setInterval(10);
    connect(timer1_, &QTimer::timeout, this, &TfrmSplash::Timer1Timer);
    timer1_->start();
    if (!g_splash) g_splash = this;
}

TfrmSplash::~TfrmSplash()
{
    if (g_splash == this) g_splash = nullptr;
}

TfrmSplash* TfrmSplash::Current() { return g_splash; }

void TfrmSplash::Timer1Timer()
{
    fade_ += 3;
    if (fade_ > 100) {
        timer1_->stop();
        return;
    }
    const QImage mixed = BlendPictures(picture2_, picture1_, fade_);
    if (!mixed.isNull()) image1_->setPixmap(QPixmap::fromImage(mixed));
}

QImage BlendPictures(const QImage& second, const QImage& first, int p)
{
    const QImage b2 = second.convertToFormat(QImage::Format_RGB888);
    const QImage b1 = first.convertToFormat(QImage::Format_RGB888);
    if (b1.width() < b2.width() || b1.height() < b2.height()) return QImage();
    QImage out = b2.copy();
    const int bytes = b2.width() * 3;
    for (int y = 0; y < b2.height(); ++y) {
        const uchar* r2 = b2.constScanLine(y);
        const uchar* r1 = b1.constScanLine(y);
        uchar* ro = out.scanLine(y);
        for (int x = 0; x < bytes; ++x) ro[x] = static_cast<uchar>(p * r2[x] / 100 + (100 - p) * r1[x] / 100);
    }
    return out;
}

void SplashStep(const QString& text)
{
    TfrmSplash* splash = TfrmSplash::Current();
    if (!splash) return;
    QProgressBar* bar = splash->ProgressBar1();
    bar->setValue(std::min(bar->maximum(), bar->value() + 1));
    splash->Label1()->setText(QStringLiteral("Loading Sentrel Desktop...") + text);
    splash->Label1()->repaint();
}

void SplashFinish()
{
    if (TfrmSplash* splash = TfrmSplash::Current()) splash->ProgressBar1()->setValue(splash->ProgressBar1()->maximum());
}
