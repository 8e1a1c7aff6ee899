// The scripting object model over the emulated project: the application with its project and
// undo groups, compositions, layers and their Position property. `host` holds the natives.
(function (global, host) {
    var PropertyValueType = {NO_VALUE: 6412, ThreeD_SPATIAL: 6413, ThreeD: 6414, TwoD_SPATIAL: 6415,
                             TwoD: 6416, OneD: 6417};
    var KeyframeInterpolationType = {LINEAR: 6612, BEZIER: 6613, HOLD: 6614};

    function FootageItem(id) { this.id = id; }

    function CompItem(id) { this.id = id; }
    CompItem.prototype = {
        constructor: CompItem,
        get numLayers() { return host.layerIds(this.id).length; },
        layer: function (index) {
            var ids = host.layerIds(this.id);
            if (!(index >= 1 && index <= ids.length && index % 1 === 0)) throw new Error("layer index out of range");
            return new AVLayer(ids[index - 1]);
        }
    };

    // The model addresses a layer by its ID even where scripts are not shown one.
    function AVLayer(key) { this.key = key; }
    AVLayer.prototype = {
        constructor: AVLayer,
        get id() { return host.layersHaveIds() ? this.key : undefined; },
        get name() { return host.layer(this.key).name; },
        get threeDLayer() { return host.layer(this.key).threeD; },
        get locked() { return host.layer(this.key).locked; },
        property: function (name) {
            return name === "ADBE Transform Group" || name === "Transform" ? new TransformGroup(this.key) : null;
        }
    };

    function TransformGroup(layerId) { this.layerId = layerId; }
    TransformGroup.prototype.property = function (name) {
        return name === "ADBE Position" || name === "Position" ? new PositionProperty(this.layerId) : null;
    };

    function PositionProperty(layerId) { this.layerId = layerId; }
    PositionProperty.prototype = {
        constructor: PositionProperty,
        get dimensionsSeparated() { return host.position(this.layerId).separated; },
        get expressionEnabled() { return host.position(this.layerId).expression; },
        get propertyValueType() {
            return host.position(this.layerId).threeD ? PropertyValueType.ThreeD_SPATIAL : PropertyValueType.TwoD_SPATIAL;
        },
        get canVaryOverTime() { return true; },
        get numKeys() { return host.position(this.layerId).numKeys; },
        valueAtTime: function (time) { return host.valueAtTime(this.layerId, Number(time)); },
        nearestKeyIndex: function (time) { return host.nearestKeyIndex(this.layerId, Number(time)); },
        removeKey: function (index) { host.removeKey(this.layerId, index); },
        setValueAtTime: function (time, value) { host.setValueAtTime(this.layerId, Number(time), value); },
        setInterpolationTypeAtKey: function (index, inType, outType) {
            host.setInterpolation(this.layerId, index, inType, outType === undefined ? inType : outType);
        },
        // Keys here always carry explicit tangents: neither flag changes them, the index is still checked.
        setSpatialAutoBezierAtKey: function (index) { host.keyTime(this.layerId, index); },
        setSpatialContinuousAtKey: function (index) { host.keyTime(this.layerId, index); },
        setSpatialTangentsAtKey: function (index, inTangent, outTangent) {
            host.setTangents(this.layerId, index, inTangent, outTangent === undefined ? inTangent : outTangent);
        }
    };

    function wrapItem(item) { return item.comp ? new CompItem(item.id) : new FootageItem(item.id); }

    var project = {
        get numItems() { return host.items().length; },
        item: function (index) {
            var items = host.items();
            if (!(index >= 1 && index <= items.length && index % 1 === 0)) throw new Error("item index out of range");
            return wrapItem(items[index - 1]);
        },
        itemByID: function (id) {
            var items = host.items();
            for (var i = 0; i < items.length; i++) {
                if (items[i].id === id) return wrapItem(items[i]);
            }
            return null;
        }
    };

    global.app = {
        get project() { return host.projectOpen() ? project : null; },
        beginUndoGroup: function (name) { host.beginUndoGroup(String(name)); },
        endUndoGroup: function () { host.endUndoGroup(); }
    };
    global.$ = {global: global};
    global.CompItem = CompItem;
    global.FootageItem = FootageItem;
    global.AVLayer = AVLayer;
    global.PropertyValueType = PropertyValueType;
    global.KeyframeInterpolationType = KeyframeInterpolationType;
    // Errors carry the script line they came from, as the compositor's engine gives them.
    Duktape.errCreate = function (e) {
        if (e instanceof Error && e.line === undefined) e.line = e.lineNumber;
        return e;
    };
})(this, this.StxHostNatives);
delete this.StxHostNatives;
