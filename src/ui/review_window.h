#pragma once

#include "review/review.h"
#include "session/session.h"

#include <QWidget>

#include <atomic>
#include <filesystem>
#include <future>
#include <memory>

class QChartView;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;

namespace peterin {

class FieldOverlay;

// "記録" → "検討": the review of the record shown, worked out on a worker thread with a
// progress bar and a cancel, while the record stays usable. Then a chart over the turns of the
// chain each side's field holds and the loss of each move, the mistakes marked, and their
// list; choosing a mistake or a point takes the record to the position before that turn and
// outlines the engine's choice on the field. A window of its own beside the main window.
class ReviewWindow : public QWidget {
    Q_OBJECT

  public:
    ReviewWindow(Session& session, FieldOverlay& overlay, QWidget& window);
    ~ReviewWindow() override;

    // Starts the review of the record shown (again, if another is shown now).
    void start();
    // Closed with the record: called after every report of the session.
    void sync();
    // Goes to the position before the turn (from 1) and outlines the engine's choice.
    void showTurn(int turn);

    bool running() const { return running_.valid(); }
    const ReviewResult& result() const { return result_; }
    QListWidget* mistakes() const { return list_; }
    QChartView* chart() const { return chart_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void cancel();
    void finished();

    Session& session_;
    FieldOverlay& overlay_;
    QWidget& window_;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QLabel* summary_ = nullptr;
    QChartView* chart_ = nullptr;
    QListWidget* list_ = nullptr;
    QTimer* poll_ = nullptr;
    std::filesystem::path reviewed_; // the record the review is of
    std::atomic<bool> stop_{false};
    std::future<ReviewResult> running_;
    ReviewResult result_;
};

} // namespace peterin
