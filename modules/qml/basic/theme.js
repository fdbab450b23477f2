.pragma library
// The scene's look in one place: the main scene publishes these as its
// shared properties and the controls read them from here, so that a control
// also works outside the main scene (tests, other dialogs).

var fontFamily = "微软雅黑"
var fontNormalSize = 12
var fontMiddleSize = 14
var fontMaxSize = 16
var fontMinSize = 10
var fontColor = "#ffffff"

var colorGray0 = "#1a1a1a"
var colorGray1 = "#3c3c3c"
var colorGray2 = "#969696"
var colorGray3 = "#d1d1d1"
var colorBlue = "#09347f"
var colorOrange = "#cf3e00"
var colorBlack = "#000000"
var colorUnsaved = "#ff3030"
// Keyboard focus: a light ring that stands out on blue, orange and grey.
var colorFocus = "#8fc4ff"
var tooltipDelay = 600

// Latin, Greek, Cyrillic and CJK text looks the same without OpenType
// shaping, which the scene's texts then skip: shaping builds HarfBuzz plans
// per font size and reads the font's layout tables, near a MiB for the
// program's life. Scripts whose letters join or carry placed marks (Arabic,
// Hebrew, Indic, Thai, emoji, combining accents), as in a user's names, are
// still shaped.
var unshapedText = /^[\u0000-\u02ff\u0370-\u052f\u1e00-\u1fff\u2000-\u20cf\u2100-\u2bff\u3000-\u3098\u309b-\u30ff\u3400-\u4dbf\u4e00-\u9fff\uac00-\ud7af\uf900-\ufaff\uff00-\uffef]*$/

function needsShaping(text) {
    return !unshapedText.test(text)
}

// Drawn by the program's picture provider (ArtProvider) from its resources.
var imageFolder = "image://art/modules/img/"
var dropButton = imageFolder + "dropBtn.svg"
var dropButtonOpen = imageFolder + "dropBtnU.svg"
var sliderKnob = imageFolder + "slide.svg"
var checkMark = imageFolder + "checkBtn.svg"

// Skinned pictures live in one resource prefix per group.
function skinImage(skin, group, picture) {
    return "image://art/" + group + "/modules/img/skin" + skin + "/" + group + "/" + picture + ".svg"
}

function gunImage(name) {
    return "image://art/gun/modules/img/skin1/gun/" + name + ".svg"
}
