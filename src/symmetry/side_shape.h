// Operations that the shapes measured by one size, `side`, share. Each shape
// class forwards to these with its own epsilon and bounding box.
#pragma once

#include "symmetry/shape_support.h"

namespace quiltora {
namespace shape {

// Sets x, y and side from the f64 fields with the shape's epsilon.
template <class Shape>
void RoundSide(Shape* object, double epsilon) {
  object->x = shape::TruncNear(object->fx, epsilon);
  object->y = shape::TruncNear(object->fy, epsilon);
  object->side = shape::TruncNear(object->fside, epsilon);
}

template <class Shape>
void LoadSide(Shape* object, const ParameterBlock& block, int32_t size) {
  object->x = block.selectionX;
  object->y = block.selectionY;
  object->side = size;
  object->fx = object->x;
  object->fy = object->y;
  object->fside = size;
  object->featherPixels = block.featherPixels;
  object->selectionReserved = block.selectionReserved;
}

// The reverse of LoadSide; the caller writes the size field it owns.
template <class Shape>
void StoreCommon(const Shape& object, ParameterBlock& block) {
  block.selectionX = object.x;
  block.selectionY = object.y;
  block.featherPixels = object.featherPixels;
  block.selectionReserved = object.selectionReserved;
}

template <class Shape>
void ScaleSide(Shape* object, double factor, double epsilon) {
  object->fx *= factor;
  object->fy *= factor;
  object->fside *= factor;
  RoundSide(object, epsilon);
}

}  // namespace shape
}  // namespace quiltora
