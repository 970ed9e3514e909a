// What the device-information page shows and what the label change says,
// computed from the current-token record and the texts.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

struct DeviceInfoTexts {
    std::string formatCaption; // "IDC_STATIC_DEV_FORMAT_OR_USERNAME"
    std::string otherApp, contactFirst, refresh;
    std::string byteUnit;      // "IDS_BYTE"
    std::string type1, type2, type3, unknownType;
    std::string hwName;
};

struct DeviceInfoRecord {
    uint32_t tokenCount;
    uint32_t appState;
    std::string label;
    std::string serial;
    std::string customerId;
    uint32_t freeSize, totalSize;
    uint32_t devType;
};

struct DeviceInfoView {
    std::string caption; // control 1005
    std::string label;   // field 1004
    bool changeLabelEnabled;
    std::string freeText, serialText, typeText, totalText;
};

DeviceInfoView ComposeDeviceInfo(const DeviceInfoRecord &record, const DeviceInfoTexts &texts);

// "%d %s" of a size, or empty for 0.
std::string SizeText(uint32_t bytes, const std::string &unit);

// The customer identifier is shown only when it is 1 to 62 bytes long.
bool CustomerIdShown(const std::string &customerId);

// The label dialog's OK: a label of 1 to 32 bytes and a PIN within the limits.
bool LabelDialogOkAllowed(const char *label, const char *pin, int minPinLen, int maxPinLen);

struct LabelChangeTexts {
    std::string revise, name, success, fail, pinError, retryNum, toContactor, hwName;
};

struct LabelChangeMessage {
    std::string text;
    bool exclamation; // otherwise a plain box
};

LabelChangeMessage ComposeLabelChangeMessage(uint32_t result, uint8_t triesLeft, const LabelChangeTexts &texts);
