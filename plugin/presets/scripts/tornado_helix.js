// Tornado Helix: a conical spiral whose radius runs from Start Radius to End Radius.
(function (global) {
    var preset = global.StxPathPreset;
    if (!preset) throw new Error("StxPathPresetが未定義です。");
    preset.run(function (context, start) {
        var turns = Math.floor(context.turns);
        if (turns < 1 || turns !== context.turns) preset.fail("Turnsには1以上の整数を指定してください。");
        if (!(context.keyInterval > 0)) preset.fail("Key Intervalには0より大きい値を指定してください。");
        if (!(context.size > 0)) preset.fail("Start Radiusには0より大きい値を指定してください。");
        if (!(context.endRadius >= 0)) preset.fail("End Radiusには0以上の値を指定してください。");
        var direction = context.direction === -1 ? -1 : 1;
        var segmentCount = turns * 4;
        var totalAngle = 2 * Math.PI * turns;
        var handleScale = (2 * Math.PI / 4) / 3;
        var centreX = start[0] - context.size;
        var drDtheta = (context.endRadius - context.size) / totalAngle;
        var dzDtheta = context.depth / (2 * Math.PI);
        var keys = [];
        for (var i = 0; i <= segmentCount; i++) {
            var progress = i / segmentCount;
            var theta = direction * totalAngle * progress;
            var r = context.size + (context.endRadius - context.size) * progress;
            var c = Math.cos(theta);
            var s = Math.sin(theta);
            var value = i === 0 ? preset.clone3(start)
                                : [centreX + r * c, start[1] + r * s, start[2] + context.depth * turns * progress];
            // The derivative of the key positions along the unsigned angle: only the angular term
            // turns with the direction, the radial one follows the radius.
            var out = [(drDtheta * c - direction * r * s) * handleScale,
                       (drDtheta * s + direction * r * c) * handleScale, dzDtheta * handleScale];
            keys.push({time: context.startTime + context.keyInterval * i, value: value,
                       inTangent: [-out[0], -out[1], -out[2]], outTangent: out});
        }
        return keys;
    });
})(typeof $ !== "undefined" && $ && $.global ? $.global : this);
