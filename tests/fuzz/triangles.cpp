// Triangle lists with any vertex values: quads in world space through projection and near-plane
// clipping, and screen triangles handed straight to the rasterizer, at each pixel format, with
// and without the depth buffer.
#include <array>

#include "fuzz/FuzzRender.h"
#include "path/CameraInfo.h"
#include "render/Projection.h"
#include "render/Rasterizer.h"

using namespace strandel;
using namespace strandel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    FuzzSource source(in);
    test::OwnedImage output(1 + in.Raw<uint8_t>() % 48, 1 + in.Raw<uint8_t>() % 32, AnyFormat(in),
                            in.Raw<uint8_t>() % 5);
    const bool useDepth = in.Bool();
    DepthBuffer depth(output.Width(), output.Height());

    CameraInfo camera;
    camera.compWidth = output.Width();
    camera.compHeight = output.Height();
    camera.zoom = in.AnyDouble();
    camera.downsampleX = in.AnyDouble();
    camera.downsampleY = in.AnyDouble();

    TriangleList list;
    const int quads = in.Raw<uint8_t>() % 4;
    for (int q = 0; q < quads; ++q) {
        std::array<Vec3, 4> corners;
        for (Vec3& c : corners) c = {in.AnyDouble(), in.AnyDouble(), in.AnyDouble()};
        EmitQuadTriangles(source.quad, corners, in.AnyDouble(), camera, list);
    }
    for (const ScreenTriangle& t : list) {
        Require(IsFiniteVertex(t.A) && IsFiniteVertex(t.B) && IsFiniteVertex(t.C) && IsFiniteVertex(t.D));
        Require(t.A.z >= kNearPlaneZ && t.B.z >= kNearPlaneZ && t.C.z >= kNearPlaneZ);
    }
    while (in.Remaining() >= 4 * 5 * sizeof(double)) {
        ScreenTriangle t{&source.quad, {}, {}, {}, {}, in.AnyDouble(), 0};
        for (ScreenVertex* v : {&t.A, &t.B, &t.C, &t.D})
            *v = {in.AnyDouble(), in.AnyDouble(), in.AnyDouble(), in.AnyDouble(), in.AnyDouble()};
        if (in.Bool()) t.D = t.A;
        t.depth = t.A.z;
        list.push_back(t);
    }
    SortTrianglesByDepth(list);
    DrawTriangleListCpu(list, output.View(), useDepth ? &depth : nullptr, AbortCheck{});
    CheckDrawn(output, source.image, useDepth ? &depth : nullptr);
    return 0;
}
