// Status codes every runtime operation answers with, and the processing steps an error is recorded
// in.
#pragma once

#include <cstdint>

namespace vodarir {

// 0 is success, 1..127 are informative conditions, 128 and above are errors.
using StatusCode = std::uint16_t;

namespace status {
inline constexpr StatusCode kOk = 0;
inline constexpr StatusCode kCallerText = 121; // the text is the caller's error detail
inline constexpr StatusCode kCancelled = 122;
inline constexpr StatusCode kNullExpression = 123;
inline constexpr StatusCode kUndefinedWarning = 124;
inline constexpr StatusCode kUnusualType = 125;
inline constexpr StatusCode kBadData = 126;
inline constexpr StatusCode kNoData = 127;
inline constexpr StatusCode kFirstError = 128;
inline constexpr StatusCode kIncompatibleTypes = 128;
inline constexpr StatusCode kLoopFailure = 129;
inline constexpr StatusCode kDiskIo = 130;
inline constexpr StatusCode kFileIo = 131;
inline constexpr StatusCode kProcedure = 132;
inline constexpr StatusCode kRead = 136;
inline constexpr StatusCode kWrite = 137;
inline constexpr StatusCode kOpen = 138;
inline constexpr StatusCode kBadExpression = 140;
inline constexpr StatusCode kInternal = 141;
inline constexpr StatusCode kScreenEnvironment = 143;
inline constexpr StatusCode kOutOfMemory = 145;
inline constexpr StatusCode kStringTooLong = 146;
inline constexpr StatusCode kSyntax = 147;
inline constexpr StatusCode kFeatureRemoved = 148;
inline constexpr StatusCode kDimStruct = 149;
inline constexpr StatusCode kBadStringType = 150;
inline constexpr StatusCode kBadFileNumber = 151;
inline constexpr StatusCode kFormatFailure = 152;
inline constexpr StatusCode kStrConcat = 153;
inline constexpr StatusCode kMemoryAlloc = 154;
inline constexpr StatusCode kExpCalc = 155;
inline constexpr StatusCode kLoadString = 156;
inline constexpr StatusCode kVarName = 157;
inline constexpr StatusCode kBadCommandLine = 158;
inline constexpr StatusCode kStrOutBound = 159;
inline constexpr StatusCode kMemTest = 160;
inline constexpr StatusCode kFileOutBound = 161;
inline constexpr StatusCode kSql = 162;
inline constexpr StatusCode kData = 163;
inline constexpr StatusCode kFileNotFound = 164;
inline constexpr StatusCode kFileExists = 165;
inline constexpr StatusCode kFileOpening = 166;
inline constexpr StatusCode kChildExec = 167;
inline constexpr StatusCode kDataOutBound = 168;
inline constexpr StatusCode kFileNotInit = 169;
inline constexpr StatusCode kCommonControl = 170;
inline constexpr StatusCode kDeviceTimeout = 171;
inline constexpr StatusCode kDeviceIo = 172;
inline constexpr StatusCode kSystemCommand = 173;
inline constexpr StatusCode kUserCheck = 174;
inline constexpr StatusCode kPermissionDenied = 175;
inline constexpr StatusCode kStructMemory = 176;
inline constexpr StatusCode kScreenStruct = 177;
inline constexpr StatusCode kMemoryLeaks = 178;
inline constexpr StatusCode kWindowsControl = 179;
inline constexpr StatusCode kMemoryOverflow = 180;
inline constexpr StatusCode kVariableScreenField = 181;
inline constexpr StatusCode kDataExists = 183;
inline constexpr StatusCode kLocalAccessOnly = 184;
inline constexpr StatusCode kGraphicSupport = 185;
} // namespace status

// Processing steps, recorded with the first error (0 = none).
namespace step {
inline constexpr std::uint16_t kNone = 0;
inline constexpr std::uint16_t kMemInit = 1;
inline constexpr std::uint16_t kAccumulatorSet = 2;
inline constexpr std::uint16_t kStringInit = 3;
inline constexpr std::uint16_t kStringAssign = 4;
inline constexpr std::uint16_t kStringNum = 5;
inline constexpr std::uint16_t kStringClose = 6;
inline constexpr std::uint16_t kFirstPosChr = 7;
inline constexpr std::uint16_t kPrcParmValue = 8;
inline constexpr std::uint16_t kStackAdd = 9;
inline constexpr std::uint16_t kInputLines = 10;
inline constexpr std::uint16_t kAuxParamLoad = 11;
inline constexpr std::uint16_t kStreamInit = 12;
inline constexpr std::uint16_t kStrConcat = 13;
inline constexpr std::uint16_t kExpExec = 14;
inline constexpr std::uint16_t kVarNameAssign = 15;
inline constexpr std::uint16_t kFormatString = 16;
inline constexpr std::uint16_t kBufferFldGet = 17;
inline constexpr std::uint16_t kBufferFldPut = 18;
inline constexpr std::uint16_t kFileFldExpAttr = 19;
inline constexpr std::uint16_t kFileFldNum = 20;
inline constexpr std::uint16_t kFuncValue = 21;
inline constexpr std::uint16_t kSqlConnect = 22;
inline constexpr std::uint16_t kSqlExec = 23;
inline constexpr std::uint16_t kLoadFileStr = 24;
inline constexpr std::uint16_t kProgressPopUpUpdate = 25;
inline constexpr std::uint16_t kExecCompiler = 26;
inline constexpr std::uint16_t kExecRunTime = 27;
inline constexpr std::uint16_t kFileSystem = 28;
inline constexpr std::uint16_t kStructFunc = 29;
inline constexpr std::uint16_t kHtmlParser = 30;
inline constexpr std::uint16_t kScreen = 31;
inline constexpr std::uint16_t kDevices = 32;
inline constexpr std::uint16_t kVarStructs = 33;
inline constexpr std::uint16_t kSort = 34;
inline constexpr std::uint16_t kLocalLists = 35;
} // namespace step

} // namespace vodarir
