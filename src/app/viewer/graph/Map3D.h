#pragma once

#include "app/viewer/model/Vec3.h"

#include <QString>
#include <QWidget>

#include <memory>

class Branch;
class OrbitView;

// The 3D graph as the viewer window embeds it: an OrbitView kept in step with the window's
// Branch. Every model change re-binds the view's callbacks, applies the spin, moves the camera
// when asked, rebuilds the scene when the stamp changed and refreshes the selection.
class Map3D : public QWidget {
    Q_OBJECT

public:
    class Coordinator;

    explicit Map3D(Branch& b, QWidget* parent = nullptr);
    ~Map3D() override;

    OrbitView& view() const { return *view_; }
    Coordinator& coordinator() const { return *coordinator_; }

    Branch& b;

private:
    void makeView();
    void updateView();
    void bindCallbacks();
    void copyModes();
    void resetCamera();
    void rebuildIfStale();
    void translate(const QString& path, const Vec3& delta);
    void pick(const QString& path, bool open);
    void requestTrash(const QString& path);

    std::unique_ptr<Coordinator> coordinator_;
    OrbitView* view_;
};
