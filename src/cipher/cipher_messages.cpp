#include "cipher_messages.h"

#include "pin.h"
#include "runtime.h"

BoxMessage WrongPinMessage() {
    return {QStringLiteral(" Opps Wrong Password "), MsgStyle::Critical, MsgTitle::Error};
}

std::optional<BoxMessage> MessageFor(CipherResult result) {
    switch (result) {
    case CipherResult::Transformed:
        return std::nullopt;
    case CipherResult::EmptyPin:
        return BoxMessage{PinPrompt::Empty, MsgStyle::Critical, MsgTitle::Error};
    case CipherResult::PinNotFourCharacters:
    case CipherResult::PinNotDigits:
        return BoxMessage{PinPrompt::NotFourDigits, MsgStyle::Critical, MsgTitle::Error};
    case CipherResult::TextTooLong:
        return BoxMessage{QStringLiteral(" To Much TeX To Encode "), MsgStyle::Information,
                          MsgTitle::Error};
    }
    return std::nullopt;
}
