#include "support/CardFixtures.h"

#include <string>

namespace tw::test {

KeyRecord testRecordKey() {
    std::uint8_t bytes[16];
    for (int i = 0; i < 16; ++i) bytes[i] = static_cast<std::uint8_t>(0x10 + i);
    KeyRecord key;
    key.set(bytes);
    return key;
}

StringTable yesNoStrings() {
    StringTable strings;
    strings.set(20204, u"Yes");
    strings.set(20205, u"No");
    return strings;
}

std::vector<std::uint8_t> testBytes(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i);
    return bytes;
}

Card fullCard(const StringTable& strings) {
    Card card;
    card.display() = CardDisplay::walletDefault();
    card.display().words[15] = 0xDEADBEEF;  // a kept word travels unchanged
    const SystemTime date{2006, 5, 3, 17, 14, 30, 5, 0};
    for (std::uint16_t kind = 1; kind <= 16; ++kind) {
        Field* field = card.newField(kind, strings);
        field->setName(u"Field " + std::u16string(1, static_cast<char16_t>(u'@' + kind)));
        field->setStyle(kind == 1 ? Field::kNoteStyle : 0);
        field->setNameColour(kind == 2 ? 0x0000FF : Field::kCardColour);
        if (Field::isDateKind(kind)) {
            field->setDate(date);
        } else if (kind == Field::kListKind) {
            field->setListFromJoined(u"red^green^blue");
            field->setValue(u"green");
        } else if (kind != Field::kYesNoKind) {
            field->setValue(std::u16string(kind, u'v'));  // lengths 1..16: both text paddings
        }
    }
    card.picture().set(testBytes(1001, 3), u"C:\\My Pictures\\Sunset.jpg");
    card.picture().setPlacement(4);
    card.picture().setScaleToFit(true);
    card.sound().set(testBytes(998, 5), u"\\Windows\\Alarm.WAV");
    for (std::size_t slot = 0; slot < Card::kFileSlots; ++slot) {
        Attachment& file = card.file(slot);
        file.set(testBytes(slot + 1, static_cast<std::uint8_t>(slot)), u"doc" + std::u16string(slot, u'x') + u".txt");
        file.setTimes(SystemTime{2005, 12, 6, 31, 23, 59, 58, 999}, date);
    }
    return card;
}

}  // namespace tw::test
