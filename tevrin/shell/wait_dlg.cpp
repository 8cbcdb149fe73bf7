#include "tevrin/shell/wait_dlg.h"

#include "ui_wait_dlg.h"

#include <QStyle>
#include <QTimer>
#include <QTransform>

namespace {
TWait* g_wait = nullptr;
constexpr int kIconSize = 32;
constexpr int kFrameMs = 100;
constexpr int kFrames = 8;
}  // namespace

TWait::TWait(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TWait>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    animation_ = new QTimer(this);
    animation_->setInterval(kFrameMs);
    connect(animation_, &QTimer::timeout, this, &TWait::NextFrame);
    NextFrame();
    if (!g_wait) g_wait = this;
}

TWait::~TWait()
{
    if (g_wait == this) g_wait = nullptr;
}

TWait* TWait::Current() { return g_wait; }

void TWait::NextFrame()
{
    // A turning arrow stands for the animated picture.
    const QPixmap base = style()->standardIcon(QStyle::SP_BrowserReload).pixmap(kIconSize, kIconSize);
    frame_ = (frame_ + 1) % kFrames;
    ui->AniIcon1->setPixmap(base.transformed(QTransform().rotate(frame_ * 360.0 / kFrames)));
}

void TWait::ShowAnimated()
{
    ui->AniIcon1->setVisible(true);
    ui->Progress->setVisible(false);
    animation_->start();
    show();
    repaint();
}

void TWait::ShowProgress(int maximum)
{
    animation_->stop();
    ui->AniIcon1->setVisible(false);
    ui->Progress->setVisible(true);
    ui->Progress->setRange(0, maximum < 0 ? 0 : maximum);
    ui->Progress->setValue(0);
    show();
    repaint();
}

void TWait::hideEvent(QHideEvent* event)
{
    animation_->stop();
    QDialog::hideEvent(event);
}

void TWait::showEvent(QShowEvent* event)
{
    // Shown again after a box: the icon turns on where it stopped.
    if (!ui->AniIcon1->isHidden() && !animation_->isActive()) animation_->start();
    QDialog::showEvent(event);
}

void TWait::StepBar()
{
    QProgressBar* bar = ui->Progress;
    int next = bar->value() + 1;
    if (next > bar->maximum()) next = 0;
    bar->setValue(next);
    repaint();
}

QLabel* TWait::Label1() const { return ui->Label1; }
QLabel* TWait::AniIcon1() const { return ui->AniIcon1; }
QProgressBar* TWait::Progress() const { return ui->Progress; }
