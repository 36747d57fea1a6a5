#include "review_chart/review_chart.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <array>

namespace peterin {

QChart* makeReviewChart(const ReviewResult& review) {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("検討"));
    std::array<QLineSeries*, kPlayerCount> held{};
    std::array<QLineSeries*, kPlayerCount> loss{};
    for (int p = 0; p < kPlayerCount; ++p) {
        const QString side = QString::number(p + 1) + QStringLiteral("P");
        held[static_cast<std::size_t>(p)] = new QLineSeries(chart);
        held[static_cast<std::size_t>(p)]->setName(side + QStringLiteral("の連鎖"));
        loss[static_cast<std::size_t>(p)] = new QLineSeries(chart);
        loss[static_cast<std::size_t>(p)]->setName(side + QStringLiteral("の損失"));
    }
    auto* dubious = new QScatterSeries(chart);
    dubious->setName(QStringLiteral("疑問手"));
    dubious->setColor(QColor(230, 160, 0));
    dubious->setMarkerSize(11);
    auto* bad = new QScatterSeries(chart);
    bad->setName(QStringLiteral("悪手"));
    bad->setColor(QColor(220, 0, 0));
    bad->setMarkerSize(13);

    double chainTop = 1;
    double lossTop = 1;
    bool battle = false;
    for (std::size_t i = 0; i < review.turns.size(); ++i) {
        const TurnReview& t = review.turns[i];
        const double x = static_cast<double>(i + 1);
        battle = battle || t.player == 1;
        for (std::size_t p = 0; p < kPlayerCount; ++p) {
            if (t.held[p]) {
                held[p]->append(x, t.held[p]->chain);
                chainTop = std::max(chainTop, static_cast<double>(t.held[p]->chain));
            }
        }
        const double thousands = t.loss / 1000;
        loss[static_cast<std::size_t>(t.player)]->append(x, thousands);
        lossTop = std::max(lossTop, thousands);
        if (t.grade == MoveGrade::Dubious) {
            dubious->append(x, thousands);
        } else if (t.grade == MoveGrade::Bad) {
            bad->append(x, thousands);
        }
    }

    auto* turns = new QValueAxis(chart);
    turns->setTitleText(QStringLiteral("ターン"));
    turns->setLabelFormat(QStringLiteral("%d"));
    turns->setRange(1, std::max<double>(2, static_cast<double>(review.turns.size())));
    auto* chains = new QValueAxis(chart);
    chains->setLabelFormat(QStringLiteral("%d"));
    chains->setRange(0, chainTop + 1);
    chains->setTickCount(static_cast<int>(chainTop) + 2); // a line at every chain step
    auto* points = new QValueAxis(chart);
    points->setTitleText(QStringLiteral("損失 (千点)"));
    points->setLabelFormat(QStringLiteral("%.0f"));
    points->setRange(0, lossTop * 1.1);
    chart->addAxis(turns, Qt::AlignBottom);
    chart->addAxis(chains, Qt::AlignLeft);
    chart->addAxis(points, Qt::AlignRight);
    const int sides = battle ? kPlayerCount : 1; // 2P's lines mean nothing in a solo game
    for (int p = 0; p < sides; ++p) {
        for (QLineSeries* series :
             {held[static_cast<std::size_t>(p)], loss[static_cast<std::size_t>(p)]}) {
            chart->addSeries(series);
            series->attachAxis(turns);
            series->attachAxis(series == held[static_cast<std::size_t>(p)] ? chains : points);
        }
    }
    for (int p = sides; p < kPlayerCount; ++p) {
        delete held[static_cast<std::size_t>(p)];
        delete loss[static_cast<std::size_t>(p)];
    }
    for (QScatterSeries* marks : {dubious, bad}) {
        chart->addSeries(marks);
        marks->attachAxis(turns);
        marks->attachAxis(points);
    }
    return chart;
}

std::optional<std::string> reviewPlotPng(const ReviewResult& review, int width, int height) {
    QChartView view(makeReviewChart(review));
    view.setRenderHint(QPainter::Antialiasing);
    view.resize(width, height);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        view.render(&painter);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        return std::nullopt;
    }
    return bytes.toStdString();
}

} // namespace peterin
