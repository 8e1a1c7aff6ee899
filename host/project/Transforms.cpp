#include "host/project/Transforms.h"

#include <cmath>
#include <numbers>

namespace strandel::host {
namespace {

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

Matrix4 AxisRotation(int axisA, int axisB, double degrees)
{
    // Maps (a, b) to (a cos - b sin, a sin + b cos) in the plane of the two axes.
    const double c = std::cos(Radians(degrees));
    const double s = std::sin(Radians(degrees));
    Matrix4 m;
    m.m[axisA][axisA] = c;
    m.m[axisA][axisB] = s;
    m.m[axisB][axisA] = -s;
    m.m[axisB][axisB] = c;
    return m;
}

Matrix4 RowsMatrix(const Vec3& r0, const Vec3& r1, const Vec3& r2, const Vec3& r3)
{
    Matrix4 m;
    const Vec3 rows[4] = {r0, r1, r2, r3};
    for (int i = 0; i < 4; ++i) {
        m.m[i][0] = rows[i].x;
        m.m[i][1] = rows[i].y;
        m.m[i][2] = rows[i].z;
    }
    return m;
}

Vec3 Flatten(const Vec3& v) { return {v.x, v.y, 0}; }

// The rotations a layer's properties give, applied first to last.
struct LayerRotations {
    double x = 0, y = 0, z = 0;
    Vec3 orientation;
};

LayerRotations RotationsAt(const Layer& layer, double t)
{
    const LayerTransform& tr = layer.transform;
    if (!layer.threeD && layer.type != LayerType::Camera) return {0, 0, tr.rotation.ScalarAt(t), {}};
    return {tr.xRotation.ScalarAt(t), tr.yRotation.ScalarAt(t), tr.rotation.ScalarAt(t), tr.orientation.ValueAt(t)};
}

Matrix4 RotationMatrix(const LayerRotations& r)
{
    return RotationXMatrix(r.x) * RotationYMatrix(r.y) * RotationZMatrix(r.z) * RotationXMatrix(r.orientation.x) *
           RotationYMatrix(r.orientation.y) * RotationZMatrix(r.orientation.z);
}

// Undoes RotationMatrix: the inverse factors in reverse order.
Matrix4 InverseRotationMatrix(const LayerRotations& r)
{
    return RotationZMatrix(-r.orientation.z) * RotationYMatrix(-r.orientation.y) * RotationXMatrix(-r.orientation.x) *
           RotationZMatrix(-r.z) * RotationYMatrix(-r.y) * RotationXMatrix(-r.x);
}

struct LocalTransform {
    Vec3 anchor, scale, position;
    LayerRotations rotations;
};

LocalTransform LocalTransformAt(const Layer& layer, double t)
{
    const LayerTransform& tr = layer.transform;
    LocalTransform local{tr.anchorPoint.ValueAt(t), tr.scale.ValueAt(t) / 100.0, tr.position.ValueAt(t),
                         RotationsAt(layer, t)};
    if (!layer.threeD) {
        local.anchor = Flatten(local.anchor);
        local.position = Flatten(local.position);
        local.scale.z = 1;
    }
    return local;
}

// Parents from the layer upward; the chain stops at a cycle rather than looping.
std::vector<const Layer*> ParentChain(const Project& project, const Layer& layer)
{
    std::vector<const Layer*> chain{&layer};
    for (const Layer* p = project.ParentOf(layer); p; p = project.ParentOf(*p)) {
        for (const Layer* seen : chain)
            if (seen == p) return chain;
        chain.push_back(p);
    }
    return chain;
}

Matrix4 LocalToParent(const Layer& layer, double t)
{
    const LocalTransform l = LocalTransformAt(layer, t);
    return TranslationMatrix(-l.anchor) * ScaleMatrix(l.scale) * RotationMatrix(l.rotations) *
           TranslationMatrix(l.position);
}

std::optional<Matrix4> ParentToLocal(const Layer& layer, double t)
{
    const LocalTransform l = LocalTransformAt(layer, t);
    if (l.scale.x == 0 || l.scale.y == 0 || l.scale.z == 0) return std::nullopt;
    return TranslationMatrix(-l.position) * InverseRotationMatrix(l.rotations) *
           ScaleMatrix({1 / l.scale.x, 1 / l.scale.y, 1 / l.scale.z}) * TranslationMatrix(l.anchor);
}

Matrix4 ParentsToWorld(const Project& project, const Layer& layer, double t)
{
    const Layer* parent = project.ParentOf(layer);
    return parent ? LayerToWorld(project, *parent, t) : Matrix4::Identity();
}

Matrix4 LookAtRows(const Vec3& position, const Vec3& target)
{
    const Vec3 toward = target - position;
    const double distance = Length(toward);
    const Vec3 forward = distance > 1e-12 ? toward / distance : Vec3{0, 0, 1};
    const Vec3 side = Cross({0, 1, 0}, forward);
    const double sideLength = Length(side);
    const Vec3 right = sideLength > 1e-12 ? side / sideLength : Vec3{1, 0, 0};
    return RowsMatrix(right, Cross(forward, right), forward, position);
}

} // namespace

Matrix4 TranslationMatrix(const Vec3& offset) { return RowsMatrix({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, offset); }

Matrix4 ScaleMatrix(const Vec3& f) { return RowsMatrix({f.x, 0, 0}, {0, f.y, 0}, {0, 0, f.z}, {}); }

Matrix4 RotationXMatrix(double degrees) { return AxisRotation(1, 2, degrees); }
// Ry maps (x, z) to (x cos a + z sin a, z cos a - x sin a): the (z, x) plane.
Matrix4 RotationYMatrix(double degrees) { return AxisRotation(2, 0, degrees); }
Matrix4 RotationZMatrix(double degrees) { return AxisRotation(0, 1, degrees); }

Matrix4 LayerToWorld(const Project& project, const Layer& layer, double seconds)
{
    Matrix4 m;
    for (const Layer* l : ParentChain(project, layer)) m = m * LocalToParent(*l, seconds);
    return m;
}

std::optional<Matrix4> WorldToLayer(const Project& project, const Layer& layer, double seconds)
{
    Matrix4 m;
    for (const Layer* l : ParentChain(project, layer)) {
        const std::optional<Matrix4> inverse = ParentToLocal(*l, seconds);
        if (!inverse) return std::nullopt;
        m = *inverse * m;
    }
    return m;
}

const Layer* ActiveCameraLayer(const Composition& comp)
{
    for (const Layer& layer : comp.layers)
        if (layer.type == LayerType::Camera && layer.enabled) return &layer;
    return nullptr;
}

double DefaultCameraZoom(const Composition& comp) { return comp.width * 50.0 / 36.0; }

CameraView CompCamera(const Project& project, const Composition& comp, double seconds)
{
    const Layer* camera = ActiveCameraLayer(comp);
    if (!camera) {
        const double zoom = DefaultCameraZoom(comp);
        return {TranslationMatrix({comp.width / 2.0, comp.height / 2.0, -zoom}), zoom, nullptr};
    }
    const LayerTransform& tr = camera->transform;
    const Matrix4 aim = LookAtRows(tr.position.ValueAt(seconds), tr.pointOfInterest.ValueAt(seconds));
    const Matrix4 local = RotationMatrix(RotationsAt(*camera, seconds)) * aim;
    return {local * ParentsToWorld(project, *camera, seconds), camera->zoom.ScalarAt(seconds), camera};
}

} // namespace strandel::host
