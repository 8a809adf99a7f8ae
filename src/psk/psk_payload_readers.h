// One reader per chunk type, each taking the payload through a cursor positioned at its start.
// Internal to the chunk reader; the readers apply the format's conversions and version rules
// and leave damage in the cursor.
#pragma once

#include "psk/psk_cursor.h"
#include "psk/psk_records.h"

PskColour readPskColour(PskCursor& cursor, const char* field);
PskNodeRecord readPskNodeRecord(PskCursor& cursor, std::uint16_t type, std::uint16_t version);

PskAmbient readPskAmbient(PskCursor& cursor, std::uint16_t version);
PskGroup readPskGroup(PskCursor& cursor, std::uint16_t version);
PskCamera readPskCamera(PskCursor& cursor, std::uint16_t version);
PskLight readPskLight(PskCursor& cursor, std::uint16_t version);
PskMesh readPskMesh(PskCursor& cursor, std::uint16_t version);
PskVertexBuffer readPskVertexBuffer(PskCursor& cursor, std::uint16_t version);
PskIndexBuffer readPskIndexBuffer(PskCursor& cursor, std::uint16_t version);
PskMaterial readPskMaterial(PskCursor& cursor, std::uint16_t version);
PskTexture readPskTexture(PskCursor& cursor, std::uint16_t version);
PskTransformTrack readPskTransformTrack(PskCursor& cursor, std::uint16_t version);
PskVertexTrack readPskVertexTrack(PskCursor& cursor, std::uint16_t version);
PskFloatTrack readPskFloatTrack(PskCursor& cursor, std::uint16_t version);
PskSprite readPskSprite(PskCursor& cursor, std::uint16_t version);

// Dispatches on a type in 1–13.
PskPayload readPskPayload(PskCursor& cursor, std::uint16_t type, std::uint16_t version);
