// Everything a preset needs but its geometry: finds the composition and the Path Layer, guards
// Position, and writes the keys the preset builds inside one undo group.
(function (global) {
    var undoGroupOpen = false;

    // A refusal meant for the user: it carries the message alone, no script line.
    function PresetFailure(message) {
        this.message = message;
    }

    function clone3(value) {
        return [value[0], value[1], value[2]];
    }

    function fail(message) {
        throw new PresetFailure(message);
    }

    function numberOr(value, fallback) {
        var n = Number(value);
        return isNaN(n) ? fallback : n;
    }

    function normalise(raw) {
        var names = ["size", "endRadius", "depth", "turns", "keyInterval", "waveLengthZ", "waveCycles",
                     "waveYAmplitude", "waveYPhase"];
        var context = {
            preset: raw.preset,
            compId: numberOr(raw.compId, 0),
            layerId: numberOr(raw.layerId, 0),
            layerIndexFallback: numberOr(raw.layerIndexFallback, 0),
            direction: Number(raw.direction) === -1 ? -1 : 1,
            startTime: numberOr(raw.startTime, 0),
            replaceExistingKeys: Boolean(raw.replaceExistingKeys)
        };
        for (var i = 0; i < names.length; i++) context[names[i]] = Number(raw[names[i]]);
        return context;
    }

    function findComp(context) {
        var project = app.project;
        if (!project) fail("対象コンポを特定できません。プロジェクトを開いてください。");
        if (context.compId !== 0 && typeof project.itemByID === "function") {
            var byId = project.itemByID(context.compId);
            if (byId instanceof CompItem) return byId;
        }
        for (var i = 1; i <= project.numItems; i++) {
            var item = project.item(i);
            if (item instanceof CompItem && item.id === context.compId) return item;
        }
        return fail("対象コンポを特定できません。");
    }

    function findLayer(comp, context) {
        if (context.layerId === 0) fail("Path Layerが未指定です。");
        for (var i = 1; i <= comp.numLayers; i++) {
            if (comp.layer(i).id === context.layerId) return comp.layer(i);
        }
        var index = context.layerIndexFallback;
        if (index >= 1 && index <= comp.numLayers) {
            var candidate = comp.layer(index);
            if (candidate.id === context.layerId || candidate.id === undefined) return candidate;
        }
        return fail("対象レイヤーを特定できません。");
    }

    function writablePosition(layer) {
        if (!layer.threeDLayer) fail("Path Layerが2Dレイヤーです。3Dレイヤーを指定してください。");
        if (layer.locked) fail("Positionが書き込み不可です。レイヤーのロックを解除してください。");
        var group = layer.property("ADBE Transform Group");
        var position = group ? group.property("ADBE Position") : null;
        if (!position) fail("Positionを取得できません。");
        if (position.dimensionsSeparated) fail("Positionが次元分割されています。次元分割を解除してください。");
        if (position.expressionEnabled) fail("Position Expressionが有効です。Expressionを無効にしてください。");
        if (position.propertyValueType !== PropertyValueType.ThreeD_SPATIAL) {
            fail("Path LayerのPositionが3D空間プロパティではありません。");
        }
        if (!position.canVaryOverTime) fail("Positionが書き込み不可です。");
        return position;
    }

    function applyKeys(position, keys) {
        if (!keys || keys.length < 2) fail("生成されたPositionキーが不足しています。");
        var i;
        for (i = 0; i < keys.length; i++) position.setValueAtTime(keys[i].time, clone3(keys[i].value));
        for (i = 0; i < keys.length; i++) {
            var index = position.nearestKeyIndex(keys[i].time);
            position.setInterpolationTypeAtKey(index, KeyframeInterpolationType.LINEAR,
                                               KeyframeInterpolationType.LINEAR);
            position.setSpatialAutoBezierAtKey(index, false);
            position.setSpatialContinuousAtKey(index, false);
            position.setSpatialTangentsAtKey(index, clone3(keys[i].inTangent), clone3(keys[i].outTangent));
        }
    }

    function describe(error) {
        var text = "ERROR:" + (error && error.message !== undefined ? error.message : String(error));
        if (error && error.line !== undefined) text += "\n行: " + error.line;
        return text;
    }

    function run(buildKeys) {
        undoGroupOpen = false;
        var result;
        try {
            var raw = typeof StxPathPresetContext !== "undefined" ? StxPathPresetContext
                                                                   : (global.StxPathPresetContext || {});
            var context = normalise(raw);
            var layer = findLayer(findComp(context), context);
            var position = writablePosition(layer);
            var startPosition = clone3(position.valueAtTime(context.startTime, true));
            app.beginUndoGroup("Strandel Generate Path");
            undoGroupOpen = true;
            if (context.replaceExistingKeys) {
                while (position.numKeys > 0) position.removeKey(position.numKeys);
            }
            applyKeys(position, buildKeys(context, startPosition));
            result = "OK";
        } catch (error) {
            result = describe(error);
        } finally {
            if (undoGroupOpen) app.endUndoGroup();
        }
        global.StxPathPresetResult = result;
        StxPathPresetResult = result;
    }

    global.StxPathPreset = {clone3: clone3, fail: fail, run: run};
})(typeof $ !== "undefined" && $ && $.global ? $.global : this);
