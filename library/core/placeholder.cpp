// Portable rules of the drawing library live beside this file.
