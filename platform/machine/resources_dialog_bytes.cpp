// The binary dialog template that LockResource hands out for RT_DIALOG, in
// the documented layout: a DLGTEMPLATE (or DLGTEMPLATEEX) header, the menu,
// class and title arrays, the font when DS_SETFONT is set, then one
// DWORD-aligned DLGITEMTEMPLATE (or DLGITEMTEMPLATEEX) per control.
#include "platform/api/user32.h"
#include "platform/machine/kernel_code_page.h"
#include "platform/machine/resources_script.h"

namespace {

class TemplateWriter {
  public:
    void Word(uint32_t value) {
        Bytes.push_back(static_cast<uint8_t>(value & 0xFF));
        Bytes.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
    }
    void Double(uint32_t value) {
        Word(value & 0xFFFF);
        Word(value >> 16);
    }
    void Byte(uint8_t value) { Bytes.push_back(value); }
    void Short(int value) {
        Word(static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(value))));
    }
    // A zero-terminated UTF-16 string from Windows-1252 text.
    void Text(const std::string& ansi) {
        for (const char c : ansi) {
            Word(CodePointFromAnsi(static_cast<unsigned char>(c)));
        }
        Word(0);
    }
    void AlignToDouble() {
        while (Bytes.size() % 4 != 0) {
            Bytes.push_back(0);
        }
    }
    std::vector<uint8_t> Bytes;
};

// The predefined classes travel as 0xFFFF followed by their atom.
void ClassArray(TemplateWriter& writer, const std::string& className) {
    static const struct {
        const char* Name;
        uint32_t Atom;
    } predefined[] = {{"BUTTON", 0x80},  {"EDIT", 0x81},      {"STATIC", 0x82},
                      {"LISTBOX", 0x83}, {"SCROLLBAR", 0x84}, {"COMBOBOX", 0x85}};
    const std::string upper = FoldAnsiCase(className);
    for (const auto& entry : predefined) {
        if (upper == entry.Name) {
            writer.Word(0xFFFF);
            writer.Word(entry.Atom);
            return;
        }
    }
    writer.Text(className);
}

} // namespace

std::vector<uint8_t> DialogTemplateBytes(const DialogTemplate& dialog, bool extended) {
    TemplateWriter writer;
    const auto count = static_cast<uint32_t>(dialog.Controls.size());
    if (extended) {
        writer.Word(1);      // dlgVer
        writer.Word(0xFFFF); // signature
        writer.Double(0);    // helpID
        writer.Double(dialog.ExStyle);
        writer.Double(dialog.Style);
    } else {
        writer.Double(dialog.Style);
        writer.Double(dialog.ExStyle);
    }
    writer.Word(count);
    writer.Short(dialog.X);
    writer.Short(dialog.Y);
    writer.Short(dialog.Width);
    writer.Short(dialog.Height);
    writer.Word(0); // no menu
    writer.Word(0); // the dialog class
    writer.Text(dialog.Caption);
    if (dialog.Style & DS_SETFONT) {
        writer.Word(static_cast<uint32_t>(dialog.FontPointSize));
        if (extended) {
            writer.Word(400); // weight
            writer.Byte(0);   // italic
            writer.Byte(1);   // character set: default
        }
        writer.Text(dialog.FontFace);
    }
    for (const DialogControlTemplate& control : dialog.Controls) {
        writer.AlignToDouble();
        if (extended) {
            writer.Double(0); // helpID
            writer.Double(control.ExStyle);
            writer.Double(control.Style);
        } else {
            writer.Double(control.Style);
            writer.Double(control.ExStyle);
        }
        writer.Short(control.X);
        writer.Short(control.Y);
        writer.Short(control.Width);
        writer.Short(control.Height);
        if (extended) {
            writer.Double(static_cast<uint32_t>(control.Id));
        } else {
            writer.Word(static_cast<uint32_t>(control.Id) & 0xFFFF);
        }
        ClassArray(writer, control.ClassName);
        writer.Text(control.Text);
        writer.Word(0); // no creation data
    }
    return writer.Bytes;
}
