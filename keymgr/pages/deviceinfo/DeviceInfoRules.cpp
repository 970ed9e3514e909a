#include "keymgr/pages/deviceinfo/DeviceInfoRules.h"

#include "keymgr/library/TokenEntries.h"

#include <stdio.h>
#include <string.h>

std::string SizeText(uint32_t bytes, const std::string &unit)
{
    if (bytes == 0)
        return std::string();
    char text[64];
    // Sizes are unsigned 32-bit; printed as the program always has.
    snprintf(text, sizeof(text), "%d ", static_cast<int>(bytes));
    return text + unit;
}

bool CustomerIdShown(const std::string &customerId)
{
    size_t n = strnlen(customerId.c_str(), customerId.size());
    return n >= 1 && n <= 62;
}

DeviceInfoView ComposeDeviceInfo(const DeviceInfoRecord &record, const DeviceInfoTexts &texts)
{
    DeviceInfoView view;
    view.changeLabelEnabled = false;
    view.caption = texts.formatCaption;
    if (record.tokenCount == 0)
        return view;

    switch (record.appState) {
    case 0:
        view.caption = texts.otherApp;
        break;
    case 0x80000000u:
        view.caption = texts.contactFirst;
        break;
    case 0x40000000u:
        view.caption = texts.refresh;
        break;
    default:
        view.label = record.label;
        view.changeLabelEnabled = true;
        break;
    }

    view.serialText = CustomerIdShown(record.customerId) ? record.customerId : record.serial;
    view.freeText = SizeText(record.freeSize, texts.byteUnit);
    view.totalText = SizeText(record.totalSize, texts.byteUnit);
    switch (record.devType) {
    case 1:
        view.typeText = texts.hwName + texts.type1;
        break;
    case 2:
        view.typeText = texts.hwName + texts.type2;
        break;
    case 3:
        view.typeText = texts.hwName + texts.type3;
        break;
    case 4:
        view.typeText = texts.unknownType;
        break;
    default:
        break;
    }
    return view;
}

bool LabelDialogOkAllowed(const char *label, const char *pin, int minPinLen, int maxPinLen)
{
    size_t labelLength = label ? strlen(label) : 0;
    size_t pinLength = pin ? strlen(pin) : 0;
    if (labelLength < 1 || labelLength > 32)
        return false;
    // Limits that could not be read are 0: an empty PIN still never goes out.
    return pinLength > 0 && static_cast<long>(pinLength) >= minPinLen && static_cast<long>(pinLength) <= maxPinLen;
}

LabelChangeMessage ComposeLabelChangeMessage(uint32_t result, uint8_t triesLeft, const LabelChangeTexts &t)
{
    LabelChangeMessage message;
    message.exclamation = true;
    if (result == 0) {
        message.text = t.revise + " " + t.hwName + " " + t.name + " " + t.success;
        message.exclamation = false;
    } else if (result == TOK_ERR_WRONG_PIN) {
        char count[16];
        snprintf(count, sizeof(count), "%u", static_cast<unsigned>(triesLeft));
        message.text = t.pinError + "\n" + t.retryNum + count;
    } else if (result == TOK_ERR_PIN_LOCKED) {
        // The page's own keys: its section has no lock text of its own.
        message.text = t.pinError + " " + t.hwName + " " + t.toContactor;
    } else {
        message.text = t.revise + " " + t.hwName + " " + t.name + " " + t.fail;
    }
    return message;
}
