#include "style/SnapshotOpacityEffect.h"
#include "style/WidgetSnapshot.h"

#include "ColorMeasure.h"

#include <gtest/gtest.h>

#include <QGraphicsOpacityEffect>
#include <QLabel>

using namespace kolu;
using namespace kolu::test;
using namespace Qt::StringLiterals;

namespace {

// `widget` filled with `color`.
QWidget *filled(QWidget *widget, const QColor &color)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    return widget;
}

// A box with a coloured face and a label, fading inside a larger area.
struct Scene {
    QWidget area;
    QWidget *box = filled(new QWidget(&area), QColor(30, 140, 220));
    QLabel *label = new QLabel(u"first words"_s, box);
    QWidget *mark = filled(new QWidget(box), QColor(240, 60, 40));

    Scene()
    {
        area.resize(240, 140);
        area.setAttribute(Qt::WA_NoSystemBackground);
        box->setGeometry(20, 20, 160, 80);
        label->setGeometry(8, 8, 140, 24);
        mark->setGeometry(8, 40, 30, 30);
        area.show();
    }

    // One frame: the area rendered with everything in it.
    QImage frame()
    {
        QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        area.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }
};

// The same scene through Qt's own opacity effect, rendered afresh (fully
// opaque without one: that effect draws its widget out of place when
// rendered at full opacity).
QImage reference(qreal opacity, const std::function<void(Scene &)> &change = {})
{
    Scene scene;
    if (change)
        change(scene);
    if (opacity < 1) {
        auto *effect = new QGraphicsOpacityEffect(scene.box);
        effect->setOpacity(opacity);
        scene.box->setGraphicsEffect(effect);
    }
    return scene.frame();
}

} // namespace

TEST(SnapshotOpacityEffect, FadesLikeQtsOwnEffectFromOnePictureWhileNothingChanges)
{
    Scene scene;
    auto *effect = new SnapshotOpacityEffect(scene.box);
    scene.box->setGraphicsEffect(effect);
    for (qreal opacity : {0.2, 0.55, 1.0}) {
        effect->setOpacity(opacity);

        EXPECT_LE(largestDifference(scene.frame(), reference(opacity)), 1) << opacity;
    }
    EXPECT_EQ(effect->snapshot().taken(), 1) << "only the opacity changed";

    // The faded widget moving takes its picture along.
    scene.box->move(50, 40);
    EXPECT_LE(largestDifference(scene.frame(), reference(1.0, [](Scene &s) { s.box->move(50, 40); })), 1);
    EXPECT_EQ(effect->snapshot().taken(), 1);

    effect->setOpacity(0);
    EXPECT_EQ(scene.frame().pixel(100, 80), qRgb(255, 255, 255));
}

TEST(SnapshotOpacityEffect, WhatChangesInsideShowsAgain)
{
    // Each change, and how many frames later at most it shows.
    const std::tuple<const char *, std::function<void(Scene &)>, int> cases[] = {
        {"a child resized", [](Scene &s) { s.mark->resize(60, 30); }, 1},
        {"a child moved", [](Scene &s) { s.mark->move(90, 40); }, 1},
        {"a child hidden", [](Scene &s) { s.mark->hide(); }, 1},
        {"a child added",
         [](Scene &s) {
             QWidget *more = filled(new QWidget(s.box), Qt::yellow);
             more->setGeometry(100, 40, 20, 20);
             more->show();
         },
         1},
        // What animates by repainting says so.
        {"a told repaint",
         [](Scene &s) {
             s.label->setText(u"other words, longer"_s);
             WidgetSnapshot::markChanged(s.label);
         },
         1},
    };
    for (const auto &[what, change, within] : cases) {
        Scene scene;
        auto *effect = new SnapshotOpacityEffect(scene.box);
        scene.box->setGraphicsEffect(effect);
        effect->setOpacity(0.6);
        const QImage before = scene.frame();
        scene.frame();
        change(scene);
        const QImage expected = reference(0.6, change);
        ASSERT_GT(largestDifference(before, expected), 10) << what << ": the change shows at all";
        int frames = 0;
        while (frames < within && largestDifference(scene.frame(), expected) > 1)
            ++frames;
        EXPECT_LT(frames, within) << what;
    }

    // New text that only repaints, untold, keeps the picture for the rest
    // of the fade: no frame takes it again on a guess.
    Scene scene;
    auto *effect = new SnapshotOpacityEffect(scene.box);
    scene.box->setGraphicsEffect(effect);
    effect->setOpacity(0.6);
    scene.frame();
    scene.label->setText(u"other words, longer"_s);
    for (int frame = 0; frame < 30; ++frame) {
        effect->setOpacity(0.6 + frame / 100.0);
        scene.frame();
    }
    EXPECT_EQ(effect->snapshot().taken(), 1);
}

TEST(SnapshotOpacityEffect, AStepRepaintsOnlyWhatThePictureCovers)
{
    // A clear box with one small mark: the rest of it is never drawn.
    Scene scene;
    scene.box->setAutoFillBackground(false);
    scene.label->hide();
    auto *effect = new SnapshotOpacityEffect(scene.box);
    scene.box->setGraphicsEffect(effect);
    effect->setOpacity(0.3);
    EXPECT_EQ(effect->boundingRect(), QRectF(scene.box->rect())) << "all of it may show before a picture";
    scene.frame();
    scene.frame();
    const QRectF mark(scene.mark->geometry());
    EXPECT_TRUE(mark.adjusted(-1, -1, 1, 1).contains(effect->boundingRect()));
    EXPECT_TRUE(effect->boundingRect().contains(mark));
    const auto sameAsReference = [&scene](qreal opacity, const std::function<void(Scene &)> &change) {
        return largestDifference(scene.frame(), reference(opacity, [&change](Scene &s) {
                                     s.box->setAutoFillBackground(false);
                                     s.label->hide();
                                     if (change)
                                         change(s);
                                 }));
    };
    effect->setOpacity(0.5);
    EXPECT_LE(sameAsReference(0.5, {}), 1);

    // A child that moves out of the covered part shows whole again.
    scene.mark->move(110, 30);
    EXPECT_EQ(effect->boundingRect(), QRectF(scene.box->rect())) << "the picture is due: all of it may show";
    EXPECT_LE(sameAsReference(0.5, [](Scene &s) { s.mark->move(110, 30); }), 1);
}
