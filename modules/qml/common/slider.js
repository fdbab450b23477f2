.pragma library
// Geometry of the slider: a 12-pixel knob whose left edge runs from 3 to
// width - 15 pixels.

var knobSize = 12
var travelStart = 3

function travelEnd(width) {
    return width - knobSize - travelStart
}

function travel(width) {
    return width - 18
}

function step(width, segment) {
    return segment > 0 ? travel(width) / segment : travel(width)
}

function stepPoint(width, segment, index) {
    return travelStart + index * step(width, segment)
}

function clampToTravel(width, x) {
    return Math.max(travelStart, Math.min(travelEnd(width), x))
}

// Knob position for a ratio; one pixel past the travel's start, so that
// values read back from the position survive the round trip.
function ratioPosition(width, ratio) {
    return Math.floor(travel(width) * ratio) + 4
}

// Target of a click at pointer x: the pointer less half the knob, within
// the travel.
function clickTarget(width, pointerX) {
    return clampToTravel(width, pointerX - 6)
}

// First step at or beyond `target`, with `slack` pixels of tolerance;
// `segment` when there is none.
function stepAtOrBeyond(width, segment, target, slack) {
    for (var i = 0; i < segment; ++i) {
        if (target <= stepPoint(width, segment, i) + slack)
            return i
    }
    return segment
}
