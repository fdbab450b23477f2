.pragma library

// Every settings key the scene reads or writes, named once: the group
// followed by the key's own name. A value ending in "/" is a group of
// numbered keys (<group><n>).

// Global settings (apConfig.bin).
const commonLanguage = "common/language"
const commonUrl = "common/url"
const mouseIcType = "mouse/icType"
const mouseIsColorful = "mouse/isColorful"
const mouseIsGun = "mouse/isGun"
const mouseIs55328 = "mouse/is55328"
const mouseKeyCount = "mouse/keyCount"
const mouseProfileNo = "mouse/profileNo"
const mouseSelectGun = "mouse/selectGun"
const mouseMinDPI = "mouse/minDPI"
const mouseMaxDPI = "mouse/maxDPI"
const mouseSensorType = "mouse/sensorType"
const mouseDpiBase = "mouse/dpiBase"
// The mouse lacks part of the stored profile (a switch or reset it refused):
// the next start shows the profile unsaved, so that Save sends it.
const mouseProfileUnsent = "mouse/profileUnsent"

// Per profile (p1.bin .. p10.bin, factory values in pD.bin).
const mouseReportRate = "mouse/reportRate"
const mouseDpiCount = "mouse/dpiCount"
const mouseCurrentDpiCount = "mouse/currentDpiCount"
const mouseDpiValueArray = "mouse/dpiValueArray"
const mouseLightValue = "mouse/lightValue"
const mouseColorValue = "mouse/colorValue"
const mouseMouseRate = "mouse/mouseRate"
const mouseDoubleRate = "mouse/doubleRate"
const mouseScrollRate = "mouse/scrollRate"
const mouseMacroKey = "mouseMacroKey/"
