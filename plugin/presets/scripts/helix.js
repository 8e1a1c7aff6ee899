// Helix: four cubic Bezier segments per turn on a circle whose rightmost point is the start
// position, advancing along z.
(function (global) {
    var preset = global.StxPathPreset;
    if (!preset) throw new Error("StxPathPresetが未定義です。");
    preset.run(function (context, start) {
        var turns = Math.floor(context.turns);
        if (turns < 1 || turns !== context.turns) preset.fail("Turnsには1以上の整数を指定してください。");
        if (!(context.keyInterval > 0)) preset.fail("Key Intervalには0より大きい値を指定してください。");
        if (!(context.size >= 0)) preset.fail("Sizeには0以上の値を指定してください。");
        var radius = context.size;
        var keyCount = turns * 4 + 1;
        var angleStep = 2 * Math.PI / 4;
        var zStep = context.depth / 4;
        var centreX = start[0] - radius;
        var xyHandle = radius * (4 / 3) * Math.tan(Math.abs(angleStep) / 4);
        var zHandle = zStep / 3;
        var keys = [];
        for (var i = 0; i < keyCount; i++) {
            var theta = angleStep * i;
            var value = i === 0 ? preset.clone3(start)
                                : [centreX + radius * Math.cos(theta), start[1] + radius * Math.sin(theta),
                                   start[2] + zStep * i];
            var tx = -Math.sin(theta) * xyHandle;
            var ty = Math.cos(theta) * xyHandle;
            keys.push({time: context.startTime + context.keyInterval * i, value: value,
                       inTangent: [-tx, -ty, -zHandle], outTangent: [tx, ty, zHandle]});
        }
        return keys;
    });
})(typeof $ !== "undefined" && $ && $.global ? $.global : this);
