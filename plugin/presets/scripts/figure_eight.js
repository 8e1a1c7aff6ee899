// Figure Eight: two circles of Loop Radius touching at the start position, nine keys.
(function (global) {
    var preset = global.StxPathPreset;
    if (!preset) throw new Error("StxPathPresetが未定義です。");
    preset.run(function (context, start) {
        if (!(context.size > 0)) preset.fail("Loop Radiusには0より大きい値を指定してください。");
        if (!(context.keyInterval > 0)) preset.fail("Key Intervalには0より大きい値を指定してください。");
        var r = context.size;
        var h = r * 0.5522847498307936;
        // Offsets from the start position, and each key's in tangent (its out tangent is the negation).
        var offsets = [[0, 0], [-r, -r], [-2 * r, 0], [-r, r], [0, 0], [r, -r], [2 * r, 0], [r, r], [0, 0]];
        var inTangents = [[0, h], [h, 0], [0, -h], [-h, 0], [0, h], [-h, 0], [0, -h], [h, 0], [0, h]];
        var keys = [];
        for (var i = 0; i < offsets.length; i++) {
            keys.push({time: context.startTime + context.keyInterval * i,
                       value: [start[0] + offsets[i][0], start[1] + offsets[i][1], start[2]],
                       inTangent: [inTangents[i][0], inTangents[i][1], 0],
                       outTangent: [-inTangents[i][0], -inTangents[i][1], 0]});
        }
        return keys;
    });
})(typeof $ !== "undefined" && $ && $.global ? $.global : this);
