// The toolkit's own message table: catalog "gxgmsg", set 1, keys 0 to 131. The texts
// are the defaults used when the catalog is not installed (the usual case).
#pragma once

namespace gxlog {

inline constexpr const char* kToolkitCatalog = "gxgmsg";
inline constexpr int kToolkitSet = 1;
inline constexpr int kMsgTableSize = 132;

// Keys of the messages the toolkit reports.
enum MsgKey : int {
    kMsgNoListeners = 1,          // GXGLG01E
    kMsgCatalogNotOpened = 2,     // GXGBC02E
    kMsgNotInCatalog = 3,         // GXGBC03E
    kMsgZurError = 10,            // GXGBC0010E
    kMsgOutOfMemory = 20,         // GXGBC0020E
    kMsgValueRequired = 30,       // GXGBC0030E
    kMsgValueTooLong = 31,        // GXGBC0031E
    kMsgBadFilePath = 32,         // GXGFH0032E
    kMsgNullParameter = 33,       // GXGBC0033E
    kMsgNegativeParameter = 34,   // GXG0034E
    kMsgNoHostName = 35,          // GXGLG0035E
    kMsgCodesetNotLoaded = 36,    // GXGFH0036W
    kMsgNoDirectoryList = 40,     // GXGFH0040E
    kMsgToolkitInitFailed = 50,   // GXGTK0050W
    kMsgPropertiesUnreadable = 51,  // GXG0051E
    kMsgBadEscape = 52,           // GXG0052E
    kMsgObjectCorrupt = 60,       // GXGBC0060W
    kMsgWrongClass = 61,          // GXGBC0061W
    kMsgClassUndefined = 62,      // GXGBC0062W
    kMsgClassMissing = 63,        // GXGBC0063W
    kMsgItemsUnterminated = 70,   // GXGBC0070W
    kMsgItemsMissingMarkers = 71,  // GXGBC0071W
    kMsgRolloverRead = 72,        // GXGMP0072W
    kMsgRolloverWrite = 73,       // GXGMP0073W
    kMsgDescBasicLogger = 100,
    kMsgDescPdLogger = 101,
    kMsgDescLevelFilter = 110,
    kMsgDescConsoleHandler = 120,
    kMsgDescFileHandler = 121,
    kMsgDescBasicFormatter = 130,
    kMsgDescXmlFormatter = 131,
};

// The table text of a key, or null outside 0..131.
const char* msgTableText(int key);

}  // namespace gxlog
