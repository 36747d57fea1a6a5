#include "review_window.h"

#include "field_overlay.h"
#include "review_chart/review_chart.h"

#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>

#include <cmath>

namespace peterin {

ReviewWindow::ReviewWindow(Session& session, FieldOverlay& overlay, QWidget& window)
    : QWidget(&window, Qt::Tool), session_(session), overlay_(overlay), window_(window) {
    setWindowTitle(QStringLiteral("検討"));
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    progress_ = new QProgressBar(this);
    cancel_ = new QPushButton(QStringLiteral("中止"), this);
    connect(cancel_, &QPushButton::clicked, this, &ReviewWindow::cancel);
    bar->addWidget(progress_);
    bar->addWidget(cancel_);
    layout->addLayout(bar);
    summary_ = new QLabel(this);
    layout->addWidget(summary_);
    chart_ = new QChartView(this);
    chart_->setRenderHint(QPainter::Antialiasing);
    chart_->setMinimumSize(520, 260);
    layout->addWidget(chart_, 1);
    list_ = new QListWidget(this);
    list_->setMaximumHeight(140);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            showTurn(list_->item(row)->data(Qt::UserRole).toInt());
    });
    layout->addWidget(list_);
    // The result is taken on the window thread, polled for while the review runs.
    poll_ = new QTimer(this);
    poll_->setInterval(50);
    connect(poll_, &QTimer::timeout, this, [this] {
        if (running_.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
            poll_->stop();
            finished();
        }
    });
}

ReviewWindow::~ReviewWindow() {
    stop_ = true;
    if (running_.valid())
        running_.wait();
}

void ReviewWindow::start() {
    const ShownRecord* shown = session_.shownRecord();
    if (shown == nullptr)
        return;
    cancel();
    poll_->stop();
    if (running_.valid())
        running_.get(); // a review of what was shown before, given up
    stop_ = false;
    reviewed_ = shown->path();
    result_ = {};
    overlay_.clearMark();
    list_->clear();
    chart_->setChart(new QChart);
    summary_->setText(QStringLiteral("検討中…"));
    progress_->setRange(0, shown->turns());
    progress_->setValue(0);
    progress_->show();
    cancel_->show();
    // The review works on its own copy of the record: the shown one may close meanwhile.
    running_ = std::async(std::launch::async, [this, record = shown->record()] {
        return reviewRecord(
            record, ReviewOptions{},
            [this](int done, int) {
                QMetaObject::invokeMethod(this, [this, done] { progress_->setValue(done); });
            },
            &stop_);
    });
    poll_->start();
    if (!isVisible()) {
        move(window_.frameGeometry().topRight() + QPoint(8, 0));
        show();
    }
}

void ReviewWindow::cancel() {
    stop_ = true;
}

void ReviewWindow::finished() {
    result_ = running_.get();
    progress_->hide();
    cancel_->hide();
    if (result_.cancelled) {
        summary_->setText(QStringLiteral("検討を中止しました。"));
        return;
    }
    int dubious = 0;
    int bad = 0;
    for (std::size_t i = 0; i < result_.turns.size(); ++i) {
        const TurnReview& t = result_.turns[i];
        if (t.grade == MoveGrade::None)
            continue;
        (t.grade == MoveGrade::Bad ? bad : dubious) += 1;
        auto* item = new QListWidgetItem(QStringLiteral("ターン %1  %2P  %3  (損失 %4千点)")
                                             .arg(i + 1)
                                             .arg(t.player + 1)
                                             .arg(QString::fromUtf8(gradeName(t.grade)))
                                             .arg(t.loss / 1000, 0, 'f', 1),
                                         list_);
        item->setData(Qt::UserRole, static_cast<int>(i + 1));
    }
    summary_->setText(QStringLiteral("%1ターン: 悪手 %2、疑問手 %3")
                          .arg(result_.turns.size())
                          .arg(bad)
                          .arg(dubious));
    QChart* chart = makeReviewChart(result_);
    for (QAbstractSeries* series : chart->series()) {
        if (auto* points = qobject_cast<QXYSeries*>(series)) {
            connect(points, &QXYSeries::clicked, this,
                    [this](const QPointF& at) { showTurn(static_cast<int>(std::lround(at.x()))); });
        }
    }
    chart_->setChart(chart);
}

void ReviewWindow::showTurn(int turn) {
    if (turn < 1 || turn > static_cast<int>(result_.turns.size()))
        return;
    const ShownRecord* shown = session_.shownRecord();
    if (shown == nullptr || shown->path() != reviewed_)
        return;
    const TurnReview& t = result_.turns[static_cast<std::size_t>(turn - 1)];
    session_.apply(GoToTurn{turn - 1});
    overlay_.mark(t.player, turn - 1, t.bestLanding);
}

void ReviewWindow::sync() {
    const ShownRecord* shown = session_.shownRecord();
    if (isVisible() && (shown == nullptr || shown->path() != reviewed_)) {
        cancel();
        overlay_.clearMark();
        hide();
    }
}

void ReviewWindow::closeEvent(QCloseEvent* event) {
    cancel();
    overlay_.clearMark();
    QWidget::closeEvent(event);
}

} // namespace peterin
