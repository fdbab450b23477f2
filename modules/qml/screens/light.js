.pragma library
// Lighting effects, colour blocks and the hue bar of the lighting panel.

var defaultColors = ["#ff0000", "#00ff00", "#0000ff", "#ff00ff", "#00ffff", "#ff7f00",
                     "#6000ff", "#ffffff"]
var blockCount = 8
var breathLoop = 4

// Per effect: the label, whether the speed and brightness rows show, the
// step each takes when the effect is picked (null keeps the current one),
// and whether the colours can be edited.
var baseEffects = [
    { label: 1, speed: false, speedStep: null, bright: true, brightStep: 4, colors: true },
    { label: 2, speed: true, speedStep: 0, bright: false, brightStep: null, colors: true },
    { label: 3, speed: true, speedStep: 0, bright: false, brightStep: null, colors: false },
    { label: 4, speed: false, speedStep: null, bright: false, brightStep: 0, colors: false }
]
var colorfulEffects = [
    { label: 8, speed: false, speedStep: null, bright: true, brightStep: 4, colors: true },
    { label: 9, speed: true, speedStep: 0, bright: true, brightStep: 4, colors: false },
    { label: 10, speed: false, speedStep: 0, bright: false, brightStep: 4, colors: false },
    { label: 11, speed: false, speedStep: null, bright: true, brightStep: 4, colors: false },
    { label: 12, speed: true, speedStep: 0, bright: true, brightStep: 4, colors: false },
    { label: 13, speed: true, speedStep: 0, bright: true, brightStep: 4, colors: true },
    { label: 14, speed: true, speedStep: 0, bright: true, brightStep: 4, colors: true }
]
var breathLoopEffect = { label: 15, speed: true, speedStep: 0, bright: false, brightStep: null,
                         colors: true }

// The effect list in row order; the row is the effect code.
function effects(isColorful, is55328) {
    var list = baseEffects.slice()
    if (isColorful)
        list = list.concat(colorfulEffects)
    if (is55328)
        list.push(breathLoopEffect)
    return list
}

// An effect code outside the list behaves as Static.
function effectAt(list, code) {
    return list[code] || list[0]
}

function panelHeight(effect) {
    var rows = (effect.speed ? 1 : 0) + (effect.bright ? 1 : 0)
    return [176, 224, 264][rows]
}

var percentTexts = ["0%", "25%", "50%", "75%", "100%"]

function percentText(step) {
    return percentTexts[Math.max(0, Math.min(4, step))]
}

// Whether colour block `i` (0-based) shows.
function blockVisible(i, isColorful, is55328, dpiCount, effectCode) {
    if (is55328) {
        if (i === 0)
            return isColorful || dpiCount > 0
        if (i === blockCount - 1)
            return false
        return effectCode === breathLoop
    }
    return isColorful || dpiCount > i
}

function hex2(value) {
    var v = Math.max(0, Math.min(255, Math.floor(value)))
    return (v < 16 ? "0" : "") + v.toString(16)
}

function colorText(r, g, b) {
    return "#" + hex2(r) + hex2(g) + hex2(b)
}

// [r, g, b] of "#rrggbb"; black for anything else.
function components(text) {
    var m = /^#([0-9a-fA-F]{2})([0-9a-fA-F]{2})([0-9a-fA-F]{2})$/.exec(String(text))
    if (!m)
        return [0, 0, 0]
    return [parseInt(m[1], 16), parseInt(m[2], 16), parseInt(m[3], 16)]
}

// The 24 components that are stored and sent. The 55328 controller takes
// block 8 only with Breath Loop; otherwise it goes out as black.
function colorList(colors, is55328, effectCode) {
    var list = []
    for (var i = 0; i < blockCount; ++i)
        list = list.concat(components(colors[i]))
    if (is55328 && effectCode !== breathLoop) {
        list[21] = 0
        list[22] = 0
        list[23] = 0
    }
    return list
}

// The hue bar: 185 pixels; marker positions p run 0..183.
var barWidth = 185
var maxPosition = 183
// The bar's width of one sixth of the colour ring.
var hueSector = Math.floor((barWidth - 2) / 6)

// Colour [r, g, b] at marker position p.
function hueAt(p) {
    var w = hueSector
    var s = Math.floor(p / w)
    var t = Math.floor((p - s * w) * 255 / w)
    switch (s) {
    case 0: return [255, t, 0]
    case 1: return [255 - t, 255, 0]
    case 2: return [0, 255, t]
    case 3: return [0, 255 - t, 255]
    case 4: return [t, 0, 255]
    case 5: return [255, 0, 255 - t]
    default: return p > 182 ? [255, 255, 255] : [255, 0, 0]
    }
}

// Marker position of a colour on the ring; 0 for a colour off it.
function markerPosition(r, g, b) {
    var d = (barWidth - 2) / 6
    var u = d / 256
    var offset
    if (r === 255 && b === 0)
        offset = u * g
    else if (r === 0 && b === 255)
        offset = 3 * d + u * (255 - g)
    else if (g === 255 && b === 0)
        offset = d + u * (255 - r)
    else if (g === 0 && b === 255)
        offset = 4 * d + u * r
    else if (r === 0 && g === 255)
        offset = 2 * d + u * b
    else if (r === 255 && g === 0)
        offset = 5 * d + u * (255 - b)
    else if (r === 255 && g === 255 && b === 255)
        offset = maxPosition
    else
        offset = 0
    return Math.floor(offset)
}

function clampPosition(p) {
    return Math.max(0, Math.min(maxPosition, Math.floor(p)))
}

// A colour field's value once editing ends: 0..255, empty or below 1 is 0.
function fieldValue(text) {
    var n = parseInt(String(text), 10)
    return isNaN(n) || n < 1 ? 0 : Math.min(255, n)
}
