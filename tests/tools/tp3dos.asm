; Stand-in for a DOS TP3.EXE in tests, assembled with nasm -f bin:  TP3 BASE [/H] /S<hex> /E<hex> /R<errors file>
;
; A DOS .EXE whose code runs as a .COM would (CS = DS = SS = the program prefix). It reads
; BASE.PAS from the current drive and acts on markers in it:
;   {ERR file,line,col,num,"msg"}  writes the text between "{ERR " and the next "}", ended by CR LF,
;                                  to the errors file, prints "BASE: 1 error" and exits 1;
;   {HANG}                         never ends.
; Without a marker it writes BASE.CHN (the source's bytes), prints
;   Code: BASE from <start> to <end>
;   Free: 0 bytes
;   Data: 0 bytes
; and exits 0. A missing source prints "BASE.PAS not found" and exits 2.

        cpu 8086
        org 0xE0                        ; the 32-byte header; the code is loaded at PSP:0100

header:
        db 'MZ'
        dw (file_end - header) % 512    ; bytes in the last page
        dw (file_end - header + 511) / 512 ; pages
        dw 0                            ; relocations
        dw 2                            ; header paragraphs
        dw 0x1000, 0xFFFF               ; paragraphs needed after the image, wanted
        dw 0xFFF0, 0xFFFE               ; SS (= the prefix), SP
        dw 0                            ; checksum
        dw 0x100, 0xFFF0                ; IP, CS (= the prefix)
        dw 0x1C                         ; relocation table
        dw 0                            ; overlay

start:
        cld
        xor bx, bx
        mov bl, [0x80]                  ; the command tail's length
        mov byte [0x81 + bx], 0
        mov si, 0x81
        call skip_blanks
        mov di, base
        call copy_word
.switch:
        call skip_blanks
        lodsb
        test al, al
        jz .parsed
        cmp al, 13
        je .parsed
        cmp al, '/'
        jne .switch
        lodsb
        or al, 0x20                     ; lower case
        mov di, start_value
        cmp al, 's'
        je .value
        mov di, end_value
        cmp al, 'e'
        je .value
        mov di, errors_name
        cmp al, 'r'
        je .value
        jmp .switch                     ; /H and anything else
.value:
        call copy_word
        jmp .switch

.parsed:
        mov si, base                    ; source = BASE.PAS, chain file = BASE.CHN
        mov di, source_name
        call copy_string
        mov si, dot_pas
        call copy_string
        mov si, base
        mov di, chain_name
        call copy_string
        mov si, dot_chn
        call copy_string

        mov ax, 0x3D00                  ; open the source
        mov dx, source_name
        int 0x21
        jc .no_source
        mov bx, ax
        mov ah, 0x3F
        mov cx, 0x8000
        mov dx, buffer
        int 0x21
        mov [length], ax
        mov ah, 0x3E
        int 0x21

        mov si, hang_mark
        call find
        jnc .hang
        mov si, error_mark
        call find
        jnc .error

        mov ah, 0x3C                    ; the chain file: the source's bytes
        xor cx, cx
        mov dx, chain_name
        int 0x21
        jc .fail
        mov bx, ax
        mov ah, 0x40
        mov cx, [length]
        mov dx, buffer
        int 0x21
        mov ah, 0x3E
        int 0x21
        mov si, code_text
        call print
        mov si, base
        call print
        mov si, from_text
        call print
        mov si, start_value
        call print
        mov si, to_text
        call print
        mov si, end_value
        call print
        mov si, sizes_text
        call print
        mov ax, 0x4C00
        int 0x21

.error:                                 ; di: the record's first byte
        mov si, di
.record_end:
        cmp si, [buffer_end]
        jae .write_record
        cmp byte [si], '}'
        je .write_record
        inc si
        jmp .record_end
.write_record:
        mov byte [si], 13
        mov byte [si + 1], 10
        add si, 2
        sub si, di
        push si
        push di
        mov ah, 0x3C
        xor cx, cx
        mov dx, errors_name
        int 0x21
        pop dx
        pop cx
        jc .fail
        mov bx, ax
        mov ah, 0x40
        int 0x21
        mov ah, 0x3E
        int 0x21
        mov si, base
        call print
        mov si, error_text
        call print
        mov ax, 0x4C01
        int 0x21

.hang:
        jmp .hang

.no_source:
        mov si, source_name
        call print
        mov si, missing_text
        call print
        mov ax, 0x4C02
        int 0x21
.fail:
        mov ax, 0x4C03
        int 0x21

; si: past blanks
skip_blanks:
        cmp byte [si], ' '
        je .skip
        cmp byte [si], 9
        jne .done
.skip:
        inc si
        jmp skip_blanks
.done:
        ret

; copies the word at si (up to a blank, a CR or the end) to di, ended by 0
copy_word:
        mov al, [si]
        cmp al, ' '
        je .end
        cmp al, 13
        je .end
        cmp al, 9
        je .end
        test al, al
        jz .end
        movsb
        jmp copy_word
.end:
        mov byte [di], 0
        ret

; copies the string at si to di, ended by 0 (di stays on the 0)
copy_string:
        lodsb
        stosb
        test al, al
        jnz copy_string
        dec di
        ret

; finds the 0-ended string si in the source: carry clear and di past it when found
find:
        mov di, buffer
        mov ax, buffer
        add ax, [length]
        mov [buffer_end], ax
.at:
        push si
        push di
.compare:
        mov al, [si]
        test al, al
        jz .found
        cmp di, [buffer_end]
        jae .not_here
        cmp al, [di]
        jne .not_here
        inc si
        inc di
        jmp .compare
.found:
        add sp, 4
        clc
        ret
.not_here:
        pop di
        pop si
        inc di
        cmp di, [buffer_end]
        jb .at
        stc
        ret

; writes the 0-ended string si to standard output
print:
        mov dx, si
        xor cx, cx
.count:
        lodsb
        test al, al
        jz .write
        inc cx
        jmp .count
.write:
        mov ah, 0x40
        mov bx, 1
        int 0x21
        ret

dot_pas:      db '.PAS', 0
dot_chn:      db '.CHN', 0
error_mark:   db '{ERR ', 0
hang_mark:    db '{HANG}', 0
code_text:    db 'Code: ', 0
from_text:    db ' from ', 0
to_text:      db ' to ', 0
sizes_text:   db 13, 10, 'Free: 0 bytes', 13, 10, 'Data: 0 bytes', 13, 10, 0
error_text:   db ': 1 error', 13, 10, 0
missing_text: db ' not found', 13, 10, 0
start_value:  db '2E9B', 0
              times 16 db 0
end_value:    db 'D200', 0
              times 16 db 0
errors_name:  db 'ERRORS.TXT', 0
              times 80 db 0
base:         times 80 db 0
source_name:  times 90 db 0
chain_name:   times 90 db 0
length:       dw 0
buffer_end:   dw 0
file_end:
buffer:                                 ; the source, after the image (up to 32 KB)
