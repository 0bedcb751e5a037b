#pragma once
// Makers of the runtime's own controls of designed windows (image button, thumbnail grid,
// picture preview, memo, click-able shape and bevel), one per class. Each gets the
// control's definition (its properties, in text order), the font the control shows (the
// inherited one with its own Font.* applied) and the parent widget, reads the class's
// properties into the widget's setters, and returns a widget owned by that parent. The
// builder sets geometry, visibility, enabled state, tool tip and cursor afterwards.
//
// Absent properties keep the control's defaults; identifiers a maker does not know keep
// them too. Picture data that does not hold the picture it names is an error naming the
// control and the property, and no widget is made.

#include <QWidget>
#include <string>
#include <string_view>

#include "base/Result.h"
#include "configui/FormFonts.h"

namespace vec {

struct FormObject;

using OwnControlMaker = ErrorOr<QWidget*> (*)(const FormObject& definition, const FormFont& font,
                                              QWidget* parent);

// TMyButton: Caption (Windows-1252), the font and its colour, ButtonUp / ButtonDown /
// ButtonOver / ButtonDisable pictures, AutoSize, Down, AllowDown, ShowCaption, Transparent.
// Down and AllowDown are applied in text order, so a Down written before AllowDown is
// refused as the button refuses it at any other time.
ErrorOr<QWidget*> CreateImageButton(const FormObject& definition, const FormFont& font,
                                    QWidget* parent);
// TVEThumbnail2: PictureWidth, PictureHeight, ShowCheckBox, ShowTitle, MultiRows, Color
// (clWindow when absent), the font colour, Ctl3D, BorderStyle. The grid starts without
// items; the configuration window gives it the pictures.
ErrorOr<QWidget*> CreateThumbnailGrid(const FormObject& definition, const FormFont& font,
                                      QWidget* parent);
// TVEPreview: Hint and ShowHint. It starts empty; the configuration window gives it a picture.
ErrorOr<QWidget*> CreatePicturePreview(const FormObject& definition, const FormFont& font,
                                       QWidget* parent);
// TMyMemo: Text or Lines.Strings, WordWrap, Color (clWindow when absent), the font colour,
// Ctl3D, BorderStyle, ReadOnly, ScrollBars.
ErrorOr<QWidget*> CreateMemo(const FormObject& definition, const FormFont& font, QWidget* parent);
// TMyShape: Shape, Brush.Color, Brush.Style, Pen.Color, Pen.Width.
ErrorOr<QWidget*> CreateOwnShape(const FormObject& definition, const FormFont& font,
                                 QWidget* parent);
// TMyBevel: Shape, Style.
ErrorOr<QWidget*> CreateOwnBevel(const FormObject& definition, const FormFont& font,
                                 QWidget* parent);

// The maker for a class name (ignoring case), or nullptr when it is not one of the six.
OwnControlMaker FindOwnControlMaker(std::string_view className);

// The text of an edit or memo as Windows-1252 bytes: its Text property, or else every line
// of Lines.Strings followed by CR LF (empty without either).
std::string FormTextPropertyOf(const FormObject& definition);

// An error about one property of a control, naming the control and its line.
Error FormControlError(const FormObject& definition, std::string_view property, const Error& e);

}  // namespace vec
