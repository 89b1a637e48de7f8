# The two TrueType fonts that are embedded as "ZFont1.ttf" (display, bold)
# and "ZSans.ttf" (text, regular). Both come from Debian's package
# fonts-roboto-unhinted (Roboto by Christian Robertson, Apache License 2.0);
# the font files are not kept in this tree. Roboto Condensed keeps the
# captions inside their 70 px boxes; Roboto leaves room for long host names.
set(QOLM_FONT_ZFONT1 "/usr/share/fonts/truetype/roboto/unhinted/RobotoCondensed-Bold.ttf")
set(QOLM_FONT_ZSANS "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf")
