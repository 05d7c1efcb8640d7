program Screen5;
{ Screen5 - a Tarvel template for MSX2 SCREEN 5 graphics (256 x 212
  dots, 16 colours out of 512).

  It sets a palette of its own, draws colour bars, a frame, a fan of
  lines and some circles, waits for a key and goes back to the text
  screen of MSX-DOS.

  MSXBIOS.INC calls the MSX BIOS through the inter-slot call;
  GRAPHICS.INC holds the SCREEN 5 routines (palette, dots, lines,
  boxes, circles, VRAM, sprites). Turbo Pascal 3 cannot nest include
  files, so both are included here, MSXBIOS.INC first. }

{$I MSXBIOS.INC}
{$I GRAPHICS.INC}

var
  I: Integer;
  Ch: Char;

begin
  if MSXVersion = 0 then
  begin
    WriteLn('This program needs an MSX2 or later.');
    Halt;
  end;

  Screen(5);
  Color(15, 0, 0);          { white on black, black border }

  { The palette: colours 0-7 a grey ramp, 8-14 a colour wheel,
    15 white. Lines in this form are what Tools > Palette Converter
    writes, so a palette made on the PC can be pasted here. }
  SetPalette(00,0,0,0);
  SetPalette(01,1,1,1);
  SetPalette(02,2,2,2);
  SetPalette(03,3,3,3);
  SetPalette(04,4,4,4);
  SetPalette(05,5,5,5);
  SetPalette(06,6,6,6);
  SetPalette(07,7,7,7);
  SetPalette(08,7,0,0);
  SetPalette(09,7,4,0);
  SetPalette(10,7,7,0);
  SetPalette(11,0,7,0);
  SetPalette(12,0,7,7);
  SetPalette(13,0,0,7);
  SetPalette(14,7,0,7);
  SetPalette(15,7,7,7);

  Cls;

  { Sixteen colour bars, 16 dots wide each }
  for I := 0 to 15 do
    BoxFill(I * 16, 0, I * 16 + 15, 95, I);

  { A frame around the lower part }
  Box(0, 100, 255, 211, 15);

  { A fan of lines from the bottom centre }
  for I := 0 to 17 do
    Line(128, 210, I * 15, 101, 8 + I mod 7);

  { Concentric circles }
  for I := 1 to 4 do
    Circle(128, 156, I * 12, 8 + I);

  Beep;
  Read(Kbd, Ch);            { wait for a key, without echo }

  TextMode;
  WriteLn('Back in MSX-DOS.');
end.
