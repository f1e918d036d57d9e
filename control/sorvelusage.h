// The usage text and size of the control's design-time picture.
#ifndef FERROLINK_SORVELUSAGE_H
#define FERROLINK_SORVELUSAGE_H

namespace ferrolink {

// How to use the control, in a sentence per member, for the developer of a
// host form: the tooltip of the control's design-time picture and of its
// entry in Qt Designer's widget box. UTF-8.
inline constexpr char SorvelUsage[]
    = u8"Sorvel.lokal initialisiert den lokalen Ferrolink; "
      u8".Eingabe liest die Dezimalwerte am Eingang; "
      u8".Ausgabe = \"xxx\" gibt den Wert xxx als Bin\u00e4rwert aus; "
      u8".IP = \"xxx.xxx.xxx.xxx\" bindet das ganze an einen Ferrolink-Serve; "
      u8".simuliert zum Ausprobieren ohne Interface;"
      u8".Test zum Testen eines Interface";

// The control's size on a form being designed, and its picture's (pixels).
inline constexpr int SorvelDesignSize = 34;
inline constexpr int SorvelPictureSize = 33;

} // namespace ferrolink

#endif
