#pragma once

// The TWAIN protocol records and constants (protocol 1.9) that the acquisition component and any
// source manager built for it share. Records use 2-byte packing exactly as the 32-bit TWAIN
// header lays them out; TW_HANDLE and TW_MEMREF fields are pointer-sized, as the TWAIN header
// defines them for 64-bit platforms, so each such field adds 4 bytes to the 32-bit size.
//
// What each triplet passes as its record (TW_MEMREF):
//   DAT_PARENT           pointer to a TW_HANDLE holding the parent window (a win::HWND)
//   DAT_IDENTITY         pointer to a TW_IDENTITY
//   DAT_USERINTERFACE    pointer to a TW_USERINTERFACE (hParent: a win::HWND)
//   DAT_EVENT            pointer to a TW_EVENT; pEvent points at a win::MSG
//   DAT_STATUS           pointer to a TW_STATUS
//   DAT_CAPABILITY       pointer to a TW_CAPABILITY; hContainer: a movable win memory handle
//   DAT_PENDINGXFERS     pointer to a TW_PENDINGXFERS
//   DAT_SETUPMEMXFER     pointer to a TW_SETUPMEMXFER
//   DAT_SETUPFILEXFER    pointer to a TW_SETUPFILEXFER
//   DAT_IMAGEINFO        pointer to a TW_IMAGEINFO
//   DAT_IMAGEMEMXFER     pointer to a TW_IMAGEMEMXFER
//   DAT_IMAGENATIVEXFER  pointer to a TW_HANDLE, 0 before the call; the source stores a movable
//                        win memory handle holding a packed DIB, which the application frees
//   DAT_IMAGEFILEXFER    null
//   DAT_PALETTE8         pointer to a TW_PALETTE8

#include <cstddef>
#include <cstdint>

using TW_INT8 = std::int8_t;
using TW_UINT8 = std::uint8_t;
using TW_INT16 = std::int16_t;
using TW_UINT16 = std::uint16_t;
using TW_INT32 = std::int32_t;
using TW_UINT32 = std::uint32_t;
using TW_BOOL = std::uint16_t;
using TW_HANDLE = void*;
using TW_MEMREF = void*;
using TW_STR32 = char[34];
using TW_STR64 = char[66];
using TW_STR128 = char[130];
using TW_STR255 = char[256];

#pragma pack(push, 2)

struct TW_FIX32 {
    TW_INT16 Whole;
    TW_UINT16 Frac;
};

struct TW_FRAME {
    TW_FIX32 Left;
    TW_FIX32 Top;
    TW_FIX32 Right;
    TW_FIX32 Bottom;
};

struct TW_VERSION {
    TW_UINT16 MajorNum;
    TW_UINT16 MinorNum;
    TW_UINT16 Language;
    TW_UINT16 Country;
    TW_STR32 Info;
};

struct TW_IDENTITY {
    TW_UINT32 Id;
    TW_VERSION Version;
    TW_UINT16 ProtocolMajor;
    TW_UINT16 ProtocolMinor;
    TW_UINT32 SupportedGroups;
    TW_STR32 Manufacturer;
    TW_STR32 ProductFamily;
    TW_STR32 ProductName;
};

struct TW_USERINTERFACE {
    TW_BOOL ShowUI;
    TW_BOOL ModalUI;
    TW_HANDLE hParent;
};

struct TW_EVENT {
    TW_MEMREF pEvent;
    TW_UINT16 TWMessage;
};

struct TW_STATUS {
    TW_UINT16 ConditionCode;
    TW_UINT16 Reserved;
};

struct TW_PENDINGXFERS {
    TW_UINT16 Count;
    TW_UINT32 EOJ;
};

struct TW_CAPABILITY {
    TW_UINT16 Cap;
    TW_UINT16 ConType;
    TW_HANDLE hContainer;
};

// Containers held in TW_CAPABILITY.hContainer.
struct TW_ENUMERATION {
    TW_UINT16 ItemType;
    TW_UINT32 NumItems;
    TW_UINT32 CurrentIndex;
    TW_UINT32 DefaultIndex;
    TW_UINT8 ItemList[1];
};

struct TW_ONEVALUE {
    TW_UINT16 ItemType;
    TW_UINT32 Item;
};

struct TW_RANGE {
    TW_UINT16 ItemType;
    TW_UINT32 MinValue;
    TW_UINT32 MaxValue;
    TW_UINT32 StepSize;
    TW_UINT32 DefaultValue;
    TW_UINT32 CurrentValue;
};

struct TW_ARRAY {
    TW_UINT16 ItemType;
    TW_UINT32 NumItems;
    TW_UINT8 ItemList[1];
};

struct TW_IMAGEINFO {
    TW_FIX32 XResolution;
    TW_FIX32 YResolution;
    TW_INT32 ImageWidth;
    TW_INT32 ImageLength;
    TW_INT16 SamplesPerPixel;
    TW_INT16 BitsPerSample[8];
    TW_INT16 BitsPerPixel;
    TW_BOOL Planar;
    TW_INT16 PixelType;
    TW_UINT16 Compression;
};

struct TW_SETUPMEMXFER {
    TW_UINT32 MinBufSize;
    TW_UINT32 MaxBufSize;
    TW_UINT32 Preferred;
};

struct TW_MEMORY {
    TW_UINT32 Flags;
    TW_UINT32 Length;
    TW_MEMREF TheMem;
};

struct TW_IMAGEMEMXFER {
    TW_UINT16 Compression;
    TW_UINT32 BytesPerRow;
    TW_UINT32 Columns;
    TW_UINT32 Rows;
    TW_UINT32 XOffset;
    TW_UINT32 YOffset;
    TW_UINT32 BytesWritten;
    TW_MEMORY Memory;
};

struct TW_SETUPFILEXFER {
    TW_STR255 FileName;
    TW_UINT16 Format;
    TW_INT16 VRefNum;
};

struct TW_ELEMENT8 {
    TW_UINT8 Index;
    TW_UINT8 Channel1;
    TW_UINT8 Channel2;
    TW_UINT8 Channel3;
};

struct TW_PALETTE8 {
    TW_UINT16 NumColors;
    TW_UINT16 PaletteType;
    TW_ELEMENT8 Colors[256];
};

#pragma pack(pop)

// The one entry point of a source manager library, exported as "DSM_Entry". dest is null for
// requests addressed to the source manager itself.
using DSMENTRYPROC = TW_UINT16 (*)(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg,
                                   TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
inline constexpr const char* DSM_ENTRY_NAME = "DSM_Entry";

// Data groups.
inline constexpr TW_UINT32 DG_CONTROL = 0x0001;
inline constexpr TW_UINT32 DG_IMAGE = 0x0002;
inline constexpr TW_UINT32 DG_AUDIO = 0x0004;

// Data argument types.
inline constexpr TW_UINT16 DAT_NULL = 0x0000;
inline constexpr TW_UINT16 DAT_CAPABILITY = 0x0001;
inline constexpr TW_UINT16 DAT_EVENT = 0x0002;
inline constexpr TW_UINT16 DAT_IDENTITY = 0x0003;
inline constexpr TW_UINT16 DAT_PARENT = 0x0004;
inline constexpr TW_UINT16 DAT_PENDINGXFERS = 0x0005;
inline constexpr TW_UINT16 DAT_SETUPMEMXFER = 0x0006;
inline constexpr TW_UINT16 DAT_SETUPFILEXFER = 0x0007;
inline constexpr TW_UINT16 DAT_STATUS = 0x0008;
inline constexpr TW_UINT16 DAT_USERINTERFACE = 0x0009;
inline constexpr TW_UINT16 DAT_IMAGEINFO = 0x0101;
inline constexpr TW_UINT16 DAT_IMAGEMEMXFER = 0x0103;
inline constexpr TW_UINT16 DAT_IMAGENATIVEXFER = 0x0104;
inline constexpr TW_UINT16 DAT_IMAGEFILEXFER = 0x0105;
inline constexpr TW_UINT16 DAT_PALETTE8 = 0x010A;

// Messages.
inline constexpr TW_UINT16 MSG_NULL = 0x0000;
inline constexpr TW_UINT16 MSG_GET = 0x0001;
inline constexpr TW_UINT16 MSG_GETCURRENT = 0x0002;
inline constexpr TW_UINT16 MSG_GETDEFAULT = 0x0003;
inline constexpr TW_UINT16 MSG_GETFIRST = 0x0004;
inline constexpr TW_UINT16 MSG_GETNEXT = 0x0005;
inline constexpr TW_UINT16 MSG_SET = 0x0006;
inline constexpr TW_UINT16 MSG_RESET = 0x0007;
inline constexpr TW_UINT16 MSG_XFERREADY = 0x0101;
inline constexpr TW_UINT16 MSG_CLOSEDSREQ = 0x0102;
inline constexpr TW_UINT16 MSG_CLOSEDSOK = 0x0103;
inline constexpr TW_UINT16 MSG_DEVICEEVENT = 0x0104;
inline constexpr TW_UINT16 MSG_OPENDSM = 0x0301;
inline constexpr TW_UINT16 MSG_CLOSEDSM = 0x0302;
inline constexpr TW_UINT16 MSG_OPENDS = 0x0401;
inline constexpr TW_UINT16 MSG_CLOSEDS = 0x0402;
inline constexpr TW_UINT16 MSG_USERSELECT = 0x0403;
inline constexpr TW_UINT16 MSG_DISABLEDS = 0x0501;
inline constexpr TW_UINT16 MSG_ENABLEDS = 0x0502;
inline constexpr TW_UINT16 MSG_PROCESSEVENT = 0x0601;
inline constexpr TW_UINT16 MSG_ENDXFER = 0x0701;

// Container types.
inline constexpr TW_UINT16 TWON_ARRAY = 3;
inline constexpr TW_UINT16 TWON_ENUMERATION = 4;
inline constexpr TW_UINT16 TWON_ONEVALUE = 5;
inline constexpr TW_UINT16 TWON_RANGE = 6;
inline constexpr TW_UINT16 TWON_DONTCARE16 = 0xFFFF;

// Capabilities.
inline constexpr TW_UINT16 CAP_XFERCOUNT = 0x0001;
inline constexpr TW_UINT16 ICAP_PIXELTYPE = 0x0101;
inline constexpr TW_UINT16 ICAP_UNITS = 0x0102;
inline constexpr TW_UINT16 ICAP_XFERMECH = 0x0103;
inline constexpr TW_UINT16 ICAP_XRESOLUTION = 0x1118;
inline constexpr TW_UINT16 ICAP_YRESOLUTION = 0x1119;
inline constexpr TW_UINT16 ICAP_PIXELFLAVOR = 0x111F;
inline constexpr TW_UINT16 ICAP_BITDEPTH = 0x112B;

// Memory flags of TW_MEMORY.
inline constexpr TW_UINT32 TWMF_APPOWNS = 0x0001;
inline constexpr TW_UINT32 TWMF_DSMOWNS = 0x0002;
inline constexpr TW_UINT32 TWMF_DSOWNS = 0x0004;
inline constexpr TW_UINT32 TWMF_POINTER = 0x0008;
inline constexpr TW_UINT32 TWMF_HANDLE = 0x0010;

// Languages and countries.
inline constexpr TW_UINT16 TWLG_USERLOCALE = 0xFFFF;
inline constexpr TW_UINT16 TWLG_USA = 13;
inline constexpr TW_UINT16 TWCY_USA = 1;

// Return codes.
inline constexpr TW_UINT16 TWRC_SUCCESS = 0;
inline constexpr TW_UINT16 TWRC_FAILURE = 1;
inline constexpr TW_UINT16 TWRC_CHECKSTATUS = 2;
inline constexpr TW_UINT16 TWRC_CANCEL = 3;
inline constexpr TW_UINT16 TWRC_DSEVENT = 4;
inline constexpr TW_UINT16 TWRC_NOTDSEVENT = 5;
inline constexpr TW_UINT16 TWRC_XFERDONE = 6;
inline constexpr TW_UINT16 TWRC_ENDOFLIST = 7;

// Condition codes.
inline constexpr TW_UINT16 TWCC_SUCCESS = 0;
inline constexpr TW_UINT16 TWCC_BUMMER = 1;
inline constexpr TW_UINT16 TWCC_LOWMEMORY = 2;
inline constexpr TW_UINT16 TWCC_NODS = 3;
inline constexpr TW_UINT16 TWCC_MAXCONNECTIONS = 4;
inline constexpr TW_UINT16 TWCC_OPERATIONERROR = 5;
inline constexpr TW_UINT16 TWCC_BADCAP = 6;
inline constexpr TW_UINT16 TWCC_BADPROTOCOL = 9;
inline constexpr TW_UINT16 TWCC_BADVALUE = 10;
inline constexpr TW_UINT16 TWCC_SEQERROR = 11;
inline constexpr TW_UINT16 TWCC_BADDEST = 12;
inline constexpr TW_UINT16 TWCC_CAPUNSUPPORTED = 13;
inline constexpr TW_UINT16 TWCC_CAPBADOPERATION = 14;
inline constexpr TW_UINT16 TWCC_CAPSEQERROR = 15;
inline constexpr TW_UINT16 TWCC_DENIED = 16;
inline constexpr TW_UINT16 TWCC_PAPERJAM = 20;
inline constexpr TW_UINT16 TWCC_FILEWRITEERROR = 22;
inline constexpr TW_UINT16 TWCC_CHECKDEVICEONLINE = 23;
inline constexpr TW_UINT16 TWCC_INTERLOCK = 24;
inline constexpr TW_UINT16 TWCC_NOMEDIA = 29;

// Item types.
inline constexpr TW_UINT16 TWTY_INT8 = 0;
inline constexpr TW_UINT16 TWTY_INT16 = 1;
inline constexpr TW_UINT16 TWTY_INT32 = 2;
inline constexpr TW_UINT16 TWTY_UINT8 = 3;
inline constexpr TW_UINT16 TWTY_UINT16 = 4;
inline constexpr TW_UINT16 TWTY_UINT32 = 5;
inline constexpr TW_UINT16 TWTY_BOOL = 6;
inline constexpr TW_UINT16 TWTY_FIX32 = 7;
inline constexpr TW_UINT16 TWTY_FRAME = 8;
inline constexpr TW_UINT16 TWTY_STR32 = 9;
inline constexpr TW_UINT16 TWTY_STR64 = 10;
inline constexpr TW_UINT16 TWTY_STR128 = 11;
inline constexpr TW_UINT16 TWTY_STR255 = 12;
inline constexpr TW_UINT16 TWTY_STR1024 = 13;
inline constexpr TW_UINT16 TWTY_UNI512 = 14;

// Pixel types.
inline constexpr TW_INT16 TWPT_BW = 0;
inline constexpr TW_INT16 TWPT_GRAY = 1;
inline constexpr TW_INT16 TWPT_RGB = 2;
inline constexpr TW_INT16 TWPT_PALETTE = 3;

// Palette types (TW_PALETTE8.PaletteType).
inline constexpr TW_UINT16 TWPA_RGB = 0;
inline constexpr TW_UINT16 TWPA_GRAY = 1;

// Units.
inline constexpr TW_UINT16 TWUN_INCHES = 0;
inline constexpr TW_UINT16 TWUN_CENTIMETERS = 1;
inline constexpr TW_UINT16 TWUN_PICAS = 2;
inline constexpr TW_UINT16 TWUN_POINTS = 3;
inline constexpr TW_UINT16 TWUN_TWIPS = 4;
inline constexpr TW_UINT16 TWUN_PIXELS = 5;

// Pixel flavors.
inline constexpr TW_UINT16 TWPF_CHOCOLATE = 0;
inline constexpr TW_UINT16 TWPF_VANILLA = 1;

// Transfer mechanisms (items of ICAP_XFERMECH).
inline constexpr TW_UINT16 TWSX_NATIVE = 0;
inline constexpr TW_UINT16 TWSX_FILE = 1;
inline constexpr TW_UINT16 TWSX_MEMORY = 2;

// File formats.
inline constexpr TW_UINT16 TWFF_TIFF = 0;
inline constexpr TW_UINT16 TWFF_PICT = 1;
inline constexpr TW_UINT16 TWFF_BMP = 2;
inline constexpr TW_UINT16 TWFF_XBM = 3;
inline constexpr TW_UINT16 TWFF_JFIF = 4;
inline constexpr TW_UINT16 TWFF_FPX = 5;
inline constexpr TW_UINT16 TWFF_TIFFMULTI = 6;
inline constexpr TW_UINT16 TWFF_PNG = 7;
inline constexpr TW_UINT16 TWFF_SPIFF = 8;
inline constexpr TW_UINT16 TWFF_EXIF = 9;

// Compression (of TW_IMAGEINFO and TW_IMAGEMEMXFER).
inline constexpr TW_UINT16 TWCP_NONE = 0;

// Size in bytes of one item of an enumeration's ItemList; 0 for an unknown item type.
std::size_t TwainItemSize(TW_UINT16 itemType);

// Whole + Frac / 65536.
long double Fix32ToFloat(TW_FIX32 value);

// The nearest TW_FIX32 to value (as a source would fill a resolution).
TW_FIX32 FloatToFix32(double value);

// Pointer-sized fields add this many bytes each to the record's 32-bit size.
inline constexpr std::size_t TWAIN_POINTER_GROWTH = sizeof(void*) - 4;

static_assert(sizeof(TW_FIX32) == 4);
static_assert(sizeof(TW_FRAME) == 16);
static_assert(sizeof(TW_VERSION) == 42);
static_assert(offsetof(TW_VERSION, Info) == 8);
static_assert(sizeof(TW_IDENTITY) == 156);
static_assert(offsetof(TW_IDENTITY, Version) == 4);
static_assert(offsetof(TW_IDENTITY, ProtocolMajor) == 46);
static_assert(offsetof(TW_IDENTITY, ProtocolMinor) == 48);
static_assert(offsetof(TW_IDENTITY, SupportedGroups) == 50);
static_assert(offsetof(TW_IDENTITY, Manufacturer) == 54);
static_assert(offsetof(TW_IDENTITY, ProductFamily) == 88);
static_assert(offsetof(TW_IDENTITY, ProductName) == 122);
static_assert(sizeof(TW_USERINTERFACE) == 8 + TWAIN_POINTER_GROWTH);
static_assert(offsetof(TW_USERINTERFACE, ModalUI) == 2);
static_assert(offsetof(TW_USERINTERFACE, hParent) == 4);
static_assert(sizeof(TW_EVENT) == 6 + TWAIN_POINTER_GROWTH);
static_assert(offsetof(TW_EVENT, TWMessage) == 4 + TWAIN_POINTER_GROWTH);
static_assert(sizeof(TW_STATUS) == 4);
static_assert(sizeof(TW_PENDINGXFERS) == 6);
static_assert(offsetof(TW_PENDINGXFERS, EOJ) == 2);
static_assert(sizeof(TW_CAPABILITY) == 8 + TWAIN_POINTER_GROWTH);
static_assert(offsetof(TW_CAPABILITY, ConType) == 2);
static_assert(offsetof(TW_CAPABILITY, hContainer) == 4);
static_assert(offsetof(TW_ENUMERATION, NumItems) == 2);
static_assert(offsetof(TW_ENUMERATION, CurrentIndex) == 6);
static_assert(offsetof(TW_ENUMERATION, DefaultIndex) == 10);
static_assert(offsetof(TW_ENUMERATION, ItemList) == 14);
static_assert(sizeof(TW_ONEVALUE) == 6);
static_assert(sizeof(TW_IMAGEINFO) == 42);
static_assert(offsetof(TW_IMAGEINFO, ImageWidth) == 8);
static_assert(offsetof(TW_IMAGEINFO, ImageLength) == 12);
static_assert(offsetof(TW_IMAGEINFO, BitsPerSample) == 18);
static_assert(offsetof(TW_IMAGEINFO, BitsPerPixel) == 34);
static_assert(offsetof(TW_IMAGEINFO, Planar) == 36);
static_assert(offsetof(TW_IMAGEINFO, PixelType) == 38);
static_assert(offsetof(TW_IMAGEINFO, Compression) == 40);
static_assert(sizeof(TW_SETUPMEMXFER) == 12);
static_assert(offsetof(TW_SETUPMEMXFER, Preferred) == 8);
static_assert(sizeof(TW_MEMORY) == 12 + TWAIN_POINTER_GROWTH);
static_assert(offsetof(TW_MEMORY, TheMem) == 8);
static_assert(sizeof(TW_IMAGEMEMXFER) == 38 + TWAIN_POINTER_GROWTH);
static_assert(offsetof(TW_IMAGEMEMXFER, BytesPerRow) == 2);
static_assert(offsetof(TW_IMAGEMEMXFER, Columns) == 6);
static_assert(offsetof(TW_IMAGEMEMXFER, Rows) == 10);
static_assert(offsetof(TW_IMAGEMEMXFER, XOffset) == 14);
static_assert(offsetof(TW_IMAGEMEMXFER, YOffset) == 18);
static_assert(offsetof(TW_IMAGEMEMXFER, BytesWritten) == 22);
static_assert(offsetof(TW_IMAGEMEMXFER, Memory) == 26);
static_assert(offsetof(TW_IMAGEMEMXFER, Memory) + offsetof(TW_MEMORY, TheMem) == 34);
static_assert(sizeof(TW_SETUPFILEXFER) == 260);
static_assert(offsetof(TW_SETUPFILEXFER, Format) == 256);
static_assert(offsetof(TW_SETUPFILEXFER, VRefNum) == 258);
static_assert(sizeof(TW_ELEMENT8) == 4);
static_assert(sizeof(TW_PALETTE8) == 1028);
static_assert(offsetof(TW_PALETTE8, Colors) == 4);
