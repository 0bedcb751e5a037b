#pragma once
// Makers of the runtime's own controls of designed windows (image button, thumbnail grid,
// picture preview, memo, click-able shape and bevel), one per class. Each gets the
// control's definition (its properties, in text order) and the parent widget, and returns
// a widget owned by that parent. The builder sets geometry, visibility, enabled state,
// hint and cursor afterwards.

#include <QWidget>
#include <string_view>

namespace vec {

struct FormObject;

using OwnControlMaker = QWidget* (*)(const FormObject& definition, QWidget* parent);

QWidget* CreateImageButton(const FormObject& definition, QWidget* parent);     // TMyButton
QWidget* CreateThumbnailGrid(const FormObject& definition, QWidget* parent);   // TVEThumbnail2
QWidget* CreatePicturePreview(const FormObject& definition, QWidget* parent);  // TVEPreview
QWidget* CreateMemo(const FormObject& definition, QWidget* parent);            // TMyMemo
QWidget* CreateOwnShape(const FormObject& definition, QWidget* parent);        // TMyShape
QWidget* CreateOwnBevel(const FormObject& definition, QWidget* parent);        // TMyBevel

// The maker for a class name (ignoring case), or nullptr when it is not one of the six.
OwnControlMaker FindOwnControlMaker(std::string_view className);

}  // namespace vec
