program Hello;
{ Hello - the smallest Tarvel project: clears the screen, writes a
  greeting and waits for a key before it returns to MSX-DOS.
  Plain Turbo Pascal 3: it runs on every MSX with MSX-DOS. }

var
  Name: string[40];
  Ch: Char;

begin
  ClrScr;
  WriteLn('Hello from Turbo Pascal 3 on the MSX!');
  WriteLn;
  Write('What is your name? ');
  ReadLn(Name);
  if Name = '' then
    Name := 'stranger';
  WriteLn;
  WriteLn('Nice to meet you, ', Name, '.');
  WriteLn;
  Write('Press any key to return to MSX-DOS...');
  Read(Kbd, Ch);            { one key, without echo }
  WriteLn;
end.
