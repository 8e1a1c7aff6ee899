#include "path/CameraReader.h"

#include <algorithm>

#include "path/PathGeometry.h"
#include "path/PathReader.h"

namespace strandel {
namespace {

double Ratio(const PF_RationalScale& r) { return r.den == 0 ? 1.0 : double(r.num) / double(r.den); }

Matrix4 FromHost(const A_Matrix4& m)
{
    Matrix4 out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out.m[r][c] = m.mat[r][c];
    return out;
}

A_short PlaneSize(double v) { return static_cast<A_short>(std::clamp(v, 1.0, 32767.0)); }

} // namespace

CameraInfo ReadCompCamera(const PF_InData* in_data, SuiteCache& suites, const A_Time& compTime,
                          const PF_LayerDef& output)
{
    CameraInfo cam;
    cam.downsampleX = Ratio(in_data->downsample_x);
    cam.downsampleY = Ratio(in_data->downsample_y);
    cam.originX = in_data->output_origin_x;
    cam.originY = in_data->output_origin_y;
    if (output.origin_x != 0 || output.origin_y != 0) {
        cam.originX = -double(output.origin_x);
        cam.originY = -double(output.origin_y);
    }
    cam.compWidth = std::max(output.width / std::max(cam.downsampleX, 1e-8), 1.0);
    cam.compHeight = std::max(output.height / std::max(cam.downsampleY, 1e-8), 1.0);
    if (AEGP_CompH comp = GetEffectComp(in_data, suites)) {
        AEGP_ItemH item = nullptr;
        A_long w = 0, h = 0;
        if (suites.Get<AEGP_CompSuite4>().AEGP_GetItemFromComp(comp, &item) == A_Err_NONE && item &&
            suites.Get<AEGP_ItemSuite6>().AEGP_GetItemDimensions(item, &w, &h) == A_Err_NONE && w > 0 && h > 0) {
            cam.compWidth = w;
            cam.compHeight = h;
        }
    }
    cam.zoom = cam.compHeight > cam.compWidth ? cam.compHeight : cam.compWidth;
    cam.cameraPosition = {cam.compWidth * 0.5, cam.compHeight * 0.5, -cam.zoom};

    AEGP_LayerH layer = nullptr;
    if (suites.Get<AEGP_PFInterfaceSuite1>().AEGP_GetEffectLayer(in_data->effect_ref, &layer) != A_Err_NONE || !layer)
        return cam;
    A_Matrix4 hostMatrix{};
    if (suites.Get<AEGP_LayerSuite5>().AEGP_GetLayerToWorldXform(layer, &compTime, &hostMatrix) != A_Err_NONE)
        return cam;
    cam.layerToWorld = FromHost(hostMatrix);
    if (!InvertMatrix4(cam.layerToWorld, cam.worldToLayer)) return cam;

    A_FpLong distance = cam.zoom;
    A_short planeW = PlaneSize(cam.compWidth), planeH = PlaneSize(cam.compHeight);
    A_Matrix4 cameraMatrix{};
    if (suites.Get<AEGP_PFInterfaceSuite1>().AEGP_GetEffectCameraMatrix(in_data->effect_ref, &compTime, &cameraMatrix,
                                                                        &distance, &planeW, &planeH) != A_Err_NONE)
        return cam;
    cam.cameraToLayer = FromHost(cameraMatrix);
    if (!InvertMatrix4(cam.cameraToLayer, cam.layerToCamera)) return cam;

    cam.hasCamera = true;
    cam.zoom = std::max(double(distance), 1.0);
    if (planeW > 0) cam.compWidth = planeW;
    if (planeH > 0) cam.compHeight = planeH;
    auto toWorld = [&](const Vec3& d) {
        return TransformDirection(cam.layerToWorld, TransformDirection(cam.cameraToLayer, d));
    };
    cam.cameraPosition = TransformPoint(cam.layerToWorld, TransformPoint(cam.cameraToLayer, {0, 0, 0}));
    cam.cameraRight = NormalizeOr(toWorld({1, 0, 0}), {1, 0, 0});
    cam.cameraDown = NormalizeOr(toWorld({0, 1, 0}), {0, 1, 0});
    cam.cameraForward = NormalizeOr(toWorld({0, 0, 1}), {0, 0, 1});
    return cam;
}

} // namespace strandel
