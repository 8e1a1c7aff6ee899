// Wave: sinusoids in x and y while advancing along z; y starts at the start position whatever
// its phase.
(function (global) {
    var preset = global.StxPathPreset;
    if (!preset) throw new Error("StxPathPresetが未定義です。");
    preset.run(function (context, start) {
        var cycles = Math.floor(context.waveCycles);
        if (cycles < 1 || cycles !== context.waveCycles) preset.fail("Cyclesには1以上の整数を指定してください。");
        if (!(context.keyInterval > 0)) preset.fail("Key Intervalには0より大きい値を指定してください。");
        var amplitudeX = context.size;
        var amplitudeY = context.waveYAmplitude;
        var lengthZ = context.waveLengthZ;
        var phaseY = context.waveYPhase * Math.PI / 180;
        var segmentCount = cycles * 4;
        var handleScale = (1 / segmentCount) / 3;
        var phaseYStart = Math.sin(phaseY);
        var angularRate = 2 * Math.PI * cycles;
        var keys = [];
        for (var i = 0; i <= segmentCount; i++) {
            var u = i / segmentCount;
            var angle = angularRate * u;
            var value = i === 0 ? preset.clone3(start)
                                : [start[0] + amplitudeX * Math.sin(angle),
                                   start[1] + amplitudeY * (Math.sin(angle + phaseY) - phaseYStart),
                                   start[2] + lengthZ * u];
            var out = [amplitudeX * angularRate * Math.cos(angle) * handleScale,
                       amplitudeY * angularRate * Math.cos(angle + phaseY) * handleScale, lengthZ * handleScale];
            keys.push({time: context.startTime + context.keyInterval * i, value: value,
                       inTangent: [-out[0], -out[1], -out[2]], outTangent: out});
        }
        return keys;
    });
})(typeof $ !== "undefined" && $ && $.global ? $.global : this);
